#include "serial/gpsd/nmea_stream_filter.h"

namespace serial {

size_t NmeaStreamFilter::filter(char* bytes, size_t count) {
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = bytes[i];
    if (at_line_start_) in_report_ = c == '{';
    at_line_start_ = c == '\n';
    if (!in_report_) bytes[kept++] = c;
  }
  return kept;
}

}  // namespace serial
