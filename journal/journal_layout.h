// The journal record's layout, the one definition that the logger writes by
// and the viewer's fast reading checks against: the fields in the order
// written, the width the decoder's texts give each, and the bytes written
// after each. All in Windows-1252 (the degree sign is the single byte 0xB0).
// E.g., TAB shown as \t:
//   23/03/2094\t12:35:19\t48\xB0 07' 0380" N\t011\xB0 31' 0000" E\t022 noeuds\r\n
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace journal {

enum RecordPart : std::size_t {
  kJour,
  kMois,
  kAnnee,
  kHeure,
  kMinute,
  kSeconde,
  kLatDegres,
  kLatMinutes,
  kLatMiliemes,
  kLatNS,
  kLonDegres,
  kLonMinutes,
  kLonMiliemes,
  kLonEW,
  kVitesse,
  kPartCount
};

struct PartLayout {
  std::size_t width;
  std::string_view after;
};

inline constexpr std::array<PartLayout, kPartCount> kRecordLayout{{
    {2, "/"},
    {2, "/"},
    {4, "\t"},
    {2, ":"},
    {2, ":"},
    {2, "\t"},
    {2, "\xB0 "},
    {2, "' "},
    {4, "\" "},
    {1, "\t"},
    {3, "\xB0 "},
    {2, "' "},
    {4, "\" "},
    {1, "\t"},
    {3, " noeuds"},
}};

// After the last part; the logger adds it when it appends the record.
inline constexpr std::string_view kLineEnd = "\r\n";

// Where a part starts in a record whose every part has its width.
constexpr std::size_t part_offset(RecordPart part) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < part; ++i) offset += kRecordLayout[i].width + kRecordLayout[i].after.size();
  return offset;
}

// The length of such a record, its line end included.
inline constexpr std::size_t kRecordLength = part_offset(kPartCount) + kLineEnd.size();

}  // namespace journal
