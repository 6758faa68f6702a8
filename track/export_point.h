// One journal record in the terms of the standard track formats: signed
// decimal degrees, an ISO 8601 UTC time and the speed as a number of knots.
#pragma once

#include "track/journal_line.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace track {

struct ExportPoint {
  // Degrees times 10^7, rounded to the nearest: exact for every position
  // the journal can hold (ten-thousandths of a minute). South, and west
  // ("W" or "O"), are negative.
  int64_t lat_e7 = 0;
  int64_t lon_e7 = 0;
  // "2000-01-01T00:00:00Z"; empty when the record's date or time is no
  // calendar time (the reader accepts any text there).
  std::string time;
  // "22" for "022", "5.2", "12" for "12."; empty when the speed field holds
  // no number (the logger copies it unchecked).
  std::string speed_knots;

  // Latitude beyond 90° or longitude beyond 180° (the reader accepts up to
  // 90° 59' and 180° 59'): no track format can hold it.
  bool on_the_globe() const;
};

// `read` and `line` as scan_journal_line gave them. Reuses `out`'s storage.
void make_export_point(std::string_view read, const JournalLine& line, ExportPoint& out);

// "-48.1173000": always 7 decimals, never "-0".
void append_degrees(std::string& out, int64_t e7);

}  // namespace track
