#include "track/export_point.h"

#include "track/journal_values.h"

#include <charconv>

namespace track {

namespace {

constexpr int64_t kE7 = 10'000'000;

// Ten-thousandths of a minute to 10^-7 degree: x / 600000 * 10^7 = x * 50 / 3,
// rounded half up.
int64_t to_e7(int32_t degrees, int32_t minutes, int32_t fraction, bool negative) {
  const int64_t ten_thousandths = int64_t{minutes} * 10000 + fraction;
  const int64_t magnitude = degrees * kE7 + (ten_thousandths * 100 + 3) / 6;
  return negative ? -magnitude : magnitude;
}

// "dd/mm/yyyy" and "hh:mm:ss", as the logger writes them, to ISO 8601.
void make_time(std::string_view date, std::string_view time, std::string& out) {
  out.clear();
  if (!journal_day_s(date) || !journal_second_of_day(time)) return;
  out.append(date.substr(6, 4)).append(1, '-').append(date.substr(3, 2)).append(1, '-').append(date.substr(0, 2));
  out.append(1, 'T').append(time).append(1, 'Z');
}

// The logger writes the first three characters of the received speed, then
// " noeuds": "022", "5.2", "12.", or anything when the field was short.
void make_speed(std::string_view field, std::string& out) {
  out.clear();
  constexpr std::string_view kUnit = " noeuds";
  if (field.ends_with(kUnit)) field.remove_suffix(kUnit.size());
  field = journal_trim(field);
  const size_t point = field.find('.');
  std::string_view whole = field.substr(0, point);
  std::string_view decimals = point == std::string_view::npos ? std::string_view() : field.substr(point + 1);
  if (whole.empty() && decimals.empty()) return;
  for (std::string_view part : {whole, decimals}) {
    if (part.find_first_not_of("0123456789") != std::string_view::npos) return;
  }
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  while (!decimals.empty() && decimals.back() == '0') decimals.remove_suffix(1);
  out.append(whole.empty() ? "0" : whole);
  if (!decimals.empty()) out.append(1, '.').append(decimals);
}

}  // namespace

bool ExportPoint::on_the_globe() const {
  return lat_e7 >= -90 * kE7 && lat_e7 <= 90 * kE7 && lon_e7 >= -180 * kE7 && lon_e7 <= 180 * kE7;
}

void make_export_point(std::string_view read, const JournalLine& line, ExportPoint& out) {
  const std::string_view lat_hemisphere = journal_trim(line.field(read, kLatHemisphere));
  const std::string_view lon_hemisphere = journal_trim(line.field(read, kLonHemisphere));
  out.lat_e7 = to_e7(line.lat_degres, line.lat_minutes, line.lat_fraction, lat_hemisphere == "S");
  out.lon_e7 = to_e7(line.lon_degres, line.lon_minutes, line.lon_fraction, lon_hemisphere != "E");
  make_time(line.field(read, kDate), line.field(read, kHeure), out.time);
  make_speed(line.field(read, kVitesse), out.speed_knots);
}

void append_degrees(std::string& out, int64_t e7) {
  if (e7 < 0) out += '-';
  const uint64_t magnitude = e7 < 0 ? 0 - static_cast<uint64_t>(e7) : static_cast<uint64_t>(e7);
  char text[24];
  char* end = std::to_chars(text, text + sizeof text, magnitude / kE7).ptr;
  *end++ = '.';
  const uint64_t fraction = magnitude % kE7;
  for (uint64_t unit = kE7 / 10; unit > 0; unit /= 10) *end++ = static_cast<char>('0' + fraction / unit % 10);
  out.append(text, end);
}

}  // namespace track
