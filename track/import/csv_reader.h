// The CSV that orvanta-export writes: the header "time,lat,lon,speed_knots",
// then a line per point with an ISO 8601 UTC time (may be empty), signed
// decimal degrees and knots (may be empty). Blank lines are passed over; any
// other line that does not read is a faulty line.
#pragma once

#include "track/journal_loader.h"
#include "track/journal_reads.h"
#include "track/track_points.h"

#include <string_view>

namespace track {

inline constexpr std::string_view kCsvHeader = "time,lat,lon,speed_knots";

// Fills `points`, started here; `lines` counts the file's lines, header
// included.
LoadOutcome read_csv(ByteSource& source, TrackPoints& points, const LoadProgress& progress);

}  // namespace track
