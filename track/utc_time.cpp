#include "track/utc_time.h"

#include <chrono>
#include <cstdio>

namespace track {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

// `count` digits at `at`, or -1.
int digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// Splits an instant into its day since 1970 and its milliseconds in that day.
std::chrono::year_month_day day_of(int64_t ms, int64_t& in_day) {
  int64_t days = ms / kMsPerDay;
  in_day = ms % kMsPerDay;
  if (in_day < 0) {
    in_day += kMsPerDay;
    --days;
  }
  return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{days}}};
}

}  // namespace

std::optional<int64_t> utc_ms(int year, int month, int day, int hour, int minute, int second, int millis) {
  using namespace std::chrono;
  if (year < -9999 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millis < 0 ||
      millis > 999) {
    return std::nullopt;
  }
  const int64_t days = sys_days{date}.time_since_epoch().count();
  return days * kMsPerDay + ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millis;
}

std::optional<int64_t> iso8601_ms(std::string_view text) {
  // "yyyy-mm-ddThh:mm:ss" is 19 characters.
  if (text.size() < 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') || text[13] != ':' ||
      text[16] != ':') {
    return std::nullopt;
  }
  std::size_t at = 19;
  int millis = 0;
  if (at < text.size() && text[at] == '.') {
    int scale = 100;
    const std::size_t first = ++at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale /= 10)
      millis += (text[at] - '0') * scale;
    if (at == first) return std::nullopt;
  }
  int64_t offset_minutes = 0;
  if (at < text.size() && text[at] == 'Z') {
    ++at;
  } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    const int sign = text[at] == '-' ? -1 : 1;
    const int hours = digits(text, at + 1, 2);
    const bool colon = at + 3 < text.size() && text[at + 3] == ':';
    const int minutes = digits(text, at + (colon ? 4 : 3), 2);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) return std::nullopt;
    offset_minutes = int64_t{sign} * (hours * 60 + minutes);
    at += colon ? 6 : 5;
  }
  if (at != text.size()) return std::nullopt;
  const std::optional<int64_t> local = utc_ms(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2),
                                              digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2), millis);
  if (!local) return std::nullopt;
  return *local - offset_minutes * 60'000;
}

std::string journal_date_text(int64_t ms) {
  int64_t in_day = 0;
  const std::chrono::year_month_day date = day_of(ms, in_day);
  char text[32];
  std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
  return text;
}

std::string journal_time_text(int64_t ms) {
  int64_t in_day = 0;
  day_of(ms, in_day);
  const int64_t seconds = in_day / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

}  // namespace track
