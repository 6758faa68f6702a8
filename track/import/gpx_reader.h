// GPX 1.0 and 1.1, streamed through QXmlStreamReader: the points of every
// track segment (trkpt) and route (rtept), in the file's order, as one track.
// Per point: its time, its elevation (ele) and its speed, from GPX 1.0's
// <speed> or an extension's <speed> (metres a second) or our own
// <orvanta:speed_knots>. XML that is not well formed, another root than
// <gpx>, or a point whose position, time or number does not read is a
// faulty line, named by the XML reader's line.
#pragma once

#include "track/journal_loader.h"
#include "track/track_points.h"

#include <cstdint>

class QIODevice;

namespace track {

// The namespace of our own GPX extensions.
inline constexpr char16_t kOrvantaGpxNamespace[] = u"urn:orvanta:gpx:1";

// Reads `device` (`size` bytes, for the track's room) into `points`, started here.
LoadOutcome read_gpx(QIODevice& device, uint64_t size, TrackPoints& points, const LoadProgress& progress);

}  // namespace track
