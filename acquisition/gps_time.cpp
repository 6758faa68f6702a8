#include "acquisition/gps_time.h"

#include "acquisition/rmc_decoder.h"
#include "acquisition/rmc_normaliser.h"
#include "common/nmea_sentence.h"

#include <array>

namespace acquisition {

using namespace std::chrono;

std::optional<GpsTime> gps_time(const FixFields& f) {
  GpsTime t;
  if (!convert_integer(f.Aff_heure, t.hour) || !convert_integer(f.Aff_minute, t.minute) ||
      !convert_integer(f.Aff_seconde, t.second) || !convert_integer(f.Aff_jour, t.day) ||
      !convert_integer(f.Aff_mois, t.month) || !convert_integer(f.Aff_annee, t.year)) {
    return std::nullopt;
  }
  return t;
}

size_t rmc_sentence_start(std::string_view text, bool extended) {
  return extended ? Normaliser_RMC(text).start : text.find("$GPRMC,");
}

TimeTrust time_trust(std::string_view text, size_t start) {
  if (start >= text.size()) return TimeTrust::no_sentence;
  const std::string_view sentence = text.substr(start, common::sentence_end(text, start) - start);
  // "$xxRMC,hhmmss,A,": the status is the field after the time.
  const size_t time = sentence.find(',');
  const size_t status = time == std::string_view::npos ? time : sentence.find(',', time + 1);
  if (status == std::string_view::npos || sentence.substr(status + 1, 2) != "A,") return TimeTrust::void_fix;
  return common::checksum_holds(text, start) ? TimeTrust::trusted : TimeTrust::bad_checksum;
}

namespace {

year_month_day date_of(const GpsTime& gps) {
  return {year(gps.year), month(static_cast<unsigned>(gps.month)), day(static_cast<unsigned>(gps.day))};
}

}  // namespace

bool gps_date_agrees(const GpsTime& gps, platform::UtcInstant reference) {
  const year_month_day date = date_of(gps);
  return date.ok() && abs(sys_days(date) - floor<days>(reference)) <= days(1);
}

platform::UtcInstant gps_instant(const GpsTime& gps, platform::UtcInstant reference) {
  const seconds time_of_day = hours(gps.hour) + minutes(gps.minute) + seconds(gps.second);
  const sys_days reference_day = floor<days>(reference);
  if (gps_date_agrees(gps, reference)) return sys_days(date_of(gps)) + time_of_day;

  platform::UtcInstant nearest = reference_day + time_of_day;
  for (const days shift : {days(-1), days(1)}) {
    const platform::UtcInstant candidate = reference_day + shift + time_of_day;
    if (abs(candidate - reference) < abs(nearest - reference)) nearest = candidate;
  }
  return nearest;
}

}  // namespace acquisition
