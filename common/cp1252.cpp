#include "common/cp1252.h"

#include <algorithm>
#include <array>

namespace common {
namespace {

// Unicode of the bytes 0x80..0x9F; the bytes 0xA0..0xFF are Latin-1 as is.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::u16string from_cp1252(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    out.push_back(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t{b});
  }
  return out;
}

std::optional<std::string> to_cp1252(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    const auto hit = std::find(kHigh.begin(), kHigh.end(), u);
    if (hit == kHigh.end()) return std::nullopt;
    out.push_back(static_cast<char>(0x80 + (hit - kHigh.begin())));
  }
  return out;
}

}  // namespace common
