// Moves the dates of a capture's RMC sentences, checksums mended: a receiver
// caught by the week-number rollover, with otherwise real sentences. Years
// from 80 on read as 19yy.
#pragma once

#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>

namespace testing_support {

inline std::string shift_rmc_dates(const std::string& text, std::chrono::days shift) {
  using namespace std::chrono;
  std::istringstream in(text);
  std::string out;
  for (std::string line; std::getline(in, line); out += line + "\n") {
    const size_t start = line.find("RMC,");
    size_t date = start;
    for (int i = 0; i < 9 && date != std::string::npos; ++i) date = line.find(',', date + 1);
    if (start < 3 || date == std::string::npos || line.find(',', date + 1) != date + 7) continue;
    const int yy = std::stoi(line.substr(date + 5, 2));
    const year_month_day d(sys_days(year(yy < 80 ? 2000 + yy : 1900 + yy) / std::stoi(line.substr(date + 3, 2)) /
                                    std::stoi(line.substr(date + 1, 2))) +
                           shift);
    char field[16];
    std::snprintf(field, sizeof field, "%02u%02u%02d", static_cast<unsigned>(d.day()), static_cast<unsigned>(d.month()),
                  static_cast<int>(d.year()) % 100);
    line.replace(date + 1, 6, field);
    const size_t star = line.find('*');
    if (star == std::string::npos || line.size() < star + 3) continue;
    unsigned sum = 0;
    for (size_t i = start - 2; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
    std::snprintf(field, sizeof field, "%02X", sum);
    line.replace(star + 1, 2, field);
  }
  return out;
}

}  // namespace testing_support
