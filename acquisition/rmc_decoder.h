// Decoding of the first $GPRMC sentence of a cycle's text into the fix fields.
//
// The decoder reads at fixed offsets where the expected layout has fixed widths
// (hhmmss time, ddmm.ffff latitude, dddmm.ffff longitude, ddmmyy date) and skips
// to the next comma where a width may vary. It is deliberately not a general
// NMEA parser: the status is not interpreted and the checksum is not verified.
// Fields are written one by one, so a failure keeps what was written before it.
#pragma once

#include "acquisition/fix_fields.h"

#include <string_view>

namespace acquisition {

constexpr int Trame_complete = 0;
constexpr int Trame_courte = -1;
constexpr int Trame_invalide = -2;

// Day and month accept 0..31 and 0..12: two-digit fields checked like every
// other numeric field, with the calendar's own upper bounds.
constexpr int Jour_maximum = 31;
constexpr int Mois_maximum = 12;

// Converts `text` as the decoder does: optional leading spaces, an optional
// sign, then decimal digits up to the end. Anything else fails.
bool convert_integer(std::string_view text, int& value);

int Decodage_GPRMC(std::string_view text, FixFields& fields);

}  // namespace acquisition
