// The client side of gpsd's socket protocol that the device needs: a bounded
// connect, the request for NMEA, and whether a gpsd answers at an address.
//
// The protocol is spoken directly rather than through libgps: the device
// needs the socket itself, non-blocking, to wait on it next to its own
// wake-up counter and to read the sentences' bytes as they came, while libgps
// reads with its own buffering and hands back one parsed report at a time;
// and libgps's soname changes with gpsd's releases, which would tie the
// program to one of them. What is spoken here (?WATCH with "nmea", the
// VERSION greeting) has been stable since gpsd 3.0.
#pragma once

#include "common/unique_fd.h"
#include "serial/gpsd/gpsd_address.h"

#include <chrono>

namespace serial {

// Connects a non-blocking stream socket to the first of the address's
// resolutions that accepts within `timeout`. Returns 0 or an errno value
// (ENOENT for a host name that resolves to nothing, ETIMEDOUT for one whose
// lookup goes on past a short wait: see name_resolver.h). A peer that vanishes
// without closing (a remote host switched off) makes the socket fail within
// about half a minute instead of staying silent for good.
int connect_gpsd(const GpsdAddress& address, std::chrono::milliseconds timeout, common::UniqueFd& socket);

// Asks gpsd for every receiver's sentences as they come, and no JSON reports
// beyond its replies to the request. Returns 0 or an errno value.
int watch_nmea(int socket);

// Whether a gpsd answers at the address within `budget`: it greets every
// client with its version report at once. Nothing is asked of it.
bool gpsd_answers(const GpsdAddress& address, std::chrono::milliseconds budget);

}  // namespace serial
