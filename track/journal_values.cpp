#include "track/journal_values.h"

#include "track/journal_line.h"
#include "track/utc_time.h"

namespace track {

namespace {

bool two_digits(std::string_view text, std::size_t at, int& value) {
  const unsigned tens = static_cast<unsigned char>(text[at] - '0');
  const unsigned units = static_cast<unsigned char>(text[at + 1] - '0');
  value = static_cast<int>(tens * 10 + units);
  return tens <= 9 && units <= 9;
}

}  // namespace

std::optional<int64_t> journal_day_s(std::string_view date) {
  int day = 0, month = 0, century = 0, year = 0;
  if (date.size() != 10 || date[2] != '/' || date[5] != '/' || !two_digits(date, 0, day) ||
      !two_digits(date, 3, month) || !two_digits(date, 6, century) || !two_digits(date, 8, year)) {
    return std::nullopt;
  }
  const std::optional<int64_t> ms = utc_ms(century * 100 + year, month, day, 0, 0, 0);
  if (!ms) return std::nullopt;
  return *ms / 1000;
}

std::optional<int64_t> journal_second_of_day(std::string_view time) {
  int hour = 0, minute = 0, second = 0;
  if (time.size() != 8 || time[2] != ':' || time[5] != ':' || !two_digits(time, 0, hour) ||
      !two_digits(time, 3, minute) || !two_digits(time, 6, second) || hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  return (int64_t{hour} * 60 + minute) * 60 + second;
}

std::optional<double> journal_speed_knots(std::string_view field) {
  constexpr std::string_view kUnit = " noeuds";
  if (field.ends_with(kUnit)) field.remove_suffix(kUnit.size());
  field = journal_trim(field);
  // Digits with at most one decimal point; a dozen digits at most, so that
  // the value stays exact.
  if (field.empty() || field.size() > 12) return std::nullopt;
  double whole = 0, scale = 0;
  bool any_digit = false;
  for (const char c : field) {
    if (c == '.' && scale == 0) {
      scale = 1;
    } else if (c >= '0' && c <= '9') {
      any_digit = true;
      whole = whole * 10 + (c - '0');
      scale *= 10;
    } else {
      return std::nullopt;
    }
  }
  if (!any_digit) return std::nullopt;
  return scale > 1 ? whole / scale : whole;
}

}  // namespace track
