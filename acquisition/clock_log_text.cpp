#include "acquisition/clock_log_text.h"

#include <cstdio>
#include <cstdlib>

namespace acquisition {

using namespace std::chrono;

namespace {

std::string two_digit_fields(int a, int b, int c, char separator) {
  char text[24];
  std::snprintf(text, sizeof text, "%02d%c%02d%c%02d", a, separator, b, separator, c % 100);
  return text;
}

}  // namespace

std::string clock_set_words(const GpsTime& gps, ClockOutcome outcome, platform::UtcInstant computer, bool mended) {
  const std::string time = two_digit_fields(gps.hour, gps.minute, gps.second, ':');
  const std::string gps_date = two_digit_fields(gps.day, gps.month, gps.year, '/');
  if (!clock_was_set(outcome)) {
    return "clock not set from GPS time " + time + ", GPS date " + gps_date +
           ": refused by the system (no right to set it) or the clock unreadable";
  }
  if (outcome == ClockOutcome::set) {
    return "clock set from GPS time " + time + ", GPS date " + gps_date +
           (mended ? " (the receiver's date moved forward by whole 1024-week periods: its week count had rolled over)"
                   : "");
  }
  const year_month_day used(floor<days>(gps_instant(gps, computer)));
  // As received, the date may name no real day (a 31st of February).
  const year_month_day given{year(gps.year), month(static_cast<unsigned>(gps.month)),
                             day(static_cast<unsigned>(gps.day))};
  std::string why = "names no real day";
  if (given.ok()) {
    const auto apart = (sys_days(given) - floor<days>(computer)).count();
    why = "lies " + std::to_string(std::abs(apart)) + " days " + (apart < 0 ? "before" : "after") +
          " the computer's, more than the one day allowed";
  }
  return "clock set from GPS time " + time + " on the day nearest the computer's time, " +
         two_digit_fields(static_cast<int>(static_cast<unsigned>(used.day())),
                          static_cast<int>(static_cast<unsigned>(used.month())), static_cast<int>(used.year()), '/') +
         ": the GPS date " + gps_date + " " + why;
}

}  // namespace acquisition
