#include "acquisition/week_rollover.h"

#include "acquisition/rmc_decoder.h"

#include <cstdio>

namespace acquisition {

using namespace std::chrono;

namespace {

constexpr days kRollover = weeks(1024);

std::string two_digits(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02u", value % 100);
  return text;
}

}  // namespace

bool mend_week_rollover(FixFields& f, sys_days computer_date) {
  int d = 0;
  int m = 0;
  int y = 0;
  if (!convert_integer(f.Aff_jour, d) || !convert_integer(f.Aff_mois, m) || !convert_integer(f.Aff_annee, y) || d < 1 ||
      m < 1) {
    return false;
  }
  for (const int century_back : {0, 100}) {
    const year_month_day given{year(y - century_back), month(static_cast<unsigned>(m)), day(static_cast<unsigned>(d))};
    if (!given.ok()) return false;
    for (const int k : {1, 2}) {
      const sys_days mended = sys_days(given) + k * kRollover;
      if (abs(mended - computer_date) > days(1)) continue;
      const year_month_day date(mended);
      f.Aff_jour = two_digits(static_cast<unsigned>(date.day()));
      f.Aff_mois = two_digits(static_cast<unsigned>(date.month()));
      f.Aff_annee = std::to_string(static_cast<int>(date.year()));
      return true;
    }
  }
  return false;
}

}  // namespace acquisition
