// NMEA 0183 logs: the fixes of the RMC and GGA sentences of any talker ($GP,
// $GN, $GL...), with their minutes to any number of decimals. A receiver
// sends both for each fix, so sentences with the same time of day in a row
// make one point: its date and speed from the RMC, its elevation from the
// GGA. A GGA alone takes the date of the last RMC.
//
// Logs hold noise: lines that are no sentence, other sentences, sentences
// whose checksum fails, and fixes the receiver marks invalid (RMC status V,
// GGA quality 0) are passed over. A sentence whose checksum holds but whose
// time or position does not read is a faulty line.
#pragma once

#include "track/journal_loader.h"
#include "track/journal_reads.h"
#include "track/track_points.h"

namespace track {

// Fills `points`, started here; `lines` counts the file's lines.
LoadOutcome read_nmea(ByteSource& source, TrackPoints& points, const LoadProgress& progress);

}  // namespace track
