// One read of the journal, scanned into the fields of a track point in a single
// pass: each field is checked and converted as the cursor crosses it. The
// field ends are kept so the record display can show the bytes as written
// (blanks before minutes and fractions included); the numbers are converted
// here once, so nothing later parses text again.
#pragma once

#include "track/track_position.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace track {

// One read takes at most this many bytes, stopping after the first LF: a line
// may hold 118 characters before its CR LF.
inline constexpr std::size_t kLongestRead = 119;
// Reads shorter than this (CR and LF included) are skipped without a word.
inline constexpr std::size_t kShortestLine = 59;

// The fields in the order they are read, each up to its terminator.
enum JournalField : std::size_t {
  kDate,           // TAB
  kHeure,          // TAB
  kLatDegres,      // 0xB0
  kLatMinutes,     // '
  kLatFraction,    // "
  kLatHemisphere,  // TAB
  kLonDegres,      // 0xB0
  kLonMinutes,     // '
  kLonFraction,    // "
  kLonHemisphere,  // TAB
  kVitesse,        // CR
  kFieldCount
};

struct JournalLine {
  // ends[f] is the offset of field f's terminator in the read; field f starts
  // just after the terminator of field f - 1 (at 0 for the first).
  std::array<uint8_t, kFieldCount> ends{};
  int32_t lat_degres = 0, lat_minutes = 0, lat_fraction = 0;
  int32_t lon_degres = 0, lon_minutes = 0, lon_fraction = 0;
  bool south = false;  // "S"
  bool west = false;   // "W" or "O"

  // Where the record lies, signed by its hemispheres.
  PointPosition position() const {
    return {angle_units(lat_degres, lat_minutes, lat_fraction, south),
            angle_units(lon_degres, lon_minutes, lon_fraction, west)};
  }

  std::string_view field(std::string_view read, JournalField f) const {
    const std::size_t begin = f == 0 ? 0 : ends[f - 1] + 1u;
    return read.substr(begin, ends[f] - begin);
  }
};

// Without the blanks and control characters at both ends: hemisphere
// letters are checked and kept trimmed.
std::string_view journal_trim(std::string_view text);

// Scans one read (at most kLongestRead bytes); nothing when any field is
// missing its terminator, is not a number in its range, or names no known
// hemisphere. A number is optional leading blanks, an optional sign and
// decimal digits ("-0" is 0); a trailing blank, a decimal point or an empty
// field fails. Bytes after the CR are ignored.
std::optional<JournalLine> scan_journal_line(std::string_view read);
// The same scan field by field, which scan_journal_line shortcuts for the
// lines in the writer's own layout (nearly all); tests compare the two.
std::optional<JournalLine> scan_journal_fields(std::string_view read);

// The field where the scan of a faulty read stops: the first one missing its
// terminator or failing its check (kFieldCount for a read that scans).
JournalField faulty_field(std::string_view read);

}  // namespace track
