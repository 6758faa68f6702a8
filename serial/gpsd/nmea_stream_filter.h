// gpsd's stream in its NMEA mode holds the receiver's sentences as they came,
// each on a line of its own, and gpsd's own reports in JSON on lines of their
// own that start with '{' (its version at connection, the devices and the
// watch's state after the request, later a device that comes or goes). The
// filter keeps the sentences' bytes, line ends included, and drops the
// reports; a line may be split between two reads.
#pragma once

#include <cstddef>

namespace serial {

class NmeaStreamFilter {
 public:
  // Filters `count` bytes in place; returns how many were kept, at the start.
  size_t filter(char* bytes, size_t count);

 private:
  bool at_line_start_ = true;
  bool in_report_ = false;
};

}  // namespace serial
