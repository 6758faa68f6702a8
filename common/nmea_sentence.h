// The frame of one NMEA sentence in received text: where it ends and whether
// its checksum holds. Shared by the reading of today's receivers and by the
// clock, which takes its time only from a sentence that arrived intact.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace common {

// The checksum of the bytes between "$" and "*": all of them XORed.
uint8_t checksum_of(std::string_view body);

// Where the sentence whose "$" is at `start` ends: at its line end or where
// the next one starts (receivers that lose bytes run two sentences together);
// npos when the text ends first.
size_t sentence_end(std::string_view text, size_t start);

// Whether the sentence at `start` arrived intact. A checksum, when the
// sentence has one, covers the bytes between "$" and "*" and is written as two
// hex digits after the "*". A sentence without "*" may do without a checksum
// only if its line ends: at the end of the text or run into the next one, it
// may be cut anywhere, its position included.
bool checksum_holds(std::string_view text, size_t start);

}  // namespace common
