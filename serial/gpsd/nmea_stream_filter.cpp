#include "serial/gpsd/nmea_stream_filter.h"

namespace serial {

size_t NmeaStreamFilter::filter(char* bytes, size_t count) {
  size_t kept = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = bytes[i];
    if (at_line_start_) dropping_line_ = c != '$' && c != '!';
    at_line_start_ = c == '\n';
    if (!dropping_line_) bytes[kept++] = c;
  }
  return kept;
}

}  // namespace serial
