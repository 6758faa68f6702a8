// gpsd's stream in its NMEA mode holds the receiver's sentences as they came,
// each on a line of its own, and gpsd's own reports in JSON on lines of their
// own that start with '{' (its version at connection, the devices and the
// watch's state after the request, later a device that comes or goes). The
// filter keeps the lines that start with a sentence's '$' or '!', line ends
// included, and drops every other line: a report, and anything a peer that is
// no gpsd sends, so that a sentence quoted inside a report (or behind a space
// or a CR) never reaches the decoder as a fix. A line may be split between
// two reads.
#pragma once

#include <cstddef>

namespace serial {

class NmeaStreamFilter {
 public:
  // Filters `count` bytes in place; returns how many were kept, at the start.
  size_t filter(char* bytes, size_t count);

 private:
  bool at_line_start_ = true;
  bool dropping_line_ = false;
};

}  // namespace serial
