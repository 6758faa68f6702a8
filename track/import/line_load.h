// The load loop of the line-based formats (NMEA logs, CSV): one place for
// the progress told along the way and a read failure's outcome.
#pragma once

#include "track/journal_loader.h"
#include "track/journal_reads.h"
#include "track/track_points.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace track {

// Hands each line of `source` to `take` with its number (from 1); `take`
// returns false for a faulty line, which stops the load. After the last line
// `after_last` runs, then `points` are finished. The outcome's `lines`
// counts the lines read, or is the faulty line's number.
LoadOutcome for_each_line(ByteSource& source, TrackPoints& points, const LoadProgress& progress,
                          const std::function<bool(std::string_view line, int64_t number)>& take,
                          const std::function<void()>& after_last = {});

}  // namespace track
