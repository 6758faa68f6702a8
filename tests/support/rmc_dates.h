// Moves the dates of a capture's RMC sentences, their checksums mended, to
// play a receiver that reports another date (one caught by the week-number
// rollover) with otherwise real sentences. A two-digit year reads as 19yy
// from 80 on, as receivers of the 1980s and 1990s meant it.
#pragma once

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

namespace testing_support {

inline std::string shift_rmc_dates(std::string_view text, std::chrono::days shift) {
  using namespace std::chrono;
  std::istringstream in{std::string(text)};
  std::string out;
  std::string line;
  while (std::getline(in, line)) {
    const size_t start = line.find("RMC,");
    size_t field = start;
    for (int i = 0; i < 9 && field != std::string::npos; ++i) field = line.find(',', field + 1);
    const size_t star = line.find('*');
    if (start >= 3 && line[start - 3] == '$' && field != std::string::npos && line.size() >= field + 7 &&
        line[field + 7] == ',') {
      const int dd = std::stoi(line.substr(field + 1, 2));
      const int mm = std::stoi(line.substr(field + 3, 2));
      const int yy = std::stoi(line.substr(field + 5, 2));
      const year_month_day date(sys_days(year(yy < 80 ? 2000 + yy : 1900 + yy) / mm / dd) + shift);
      char ddmmyy[8];
      std::snprintf(ddmmyy, sizeof ddmmyy, "%02u%02u%02d", static_cast<unsigned>(date.day()),
                    static_cast<unsigned>(date.month()), static_cast<int>(date.year()) % 100);
      line.replace(field + 1, 6, ddmmyy);
      if (star != std::string::npos && line.size() >= star + 3) {
        unsigned sum = 0;
        for (size_t i = start - 2; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", sum);
        line.replace(star + 1, 2, hex);
      }
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace testing_support
