#include "viewer/statistics_text.h"

#include "track/track_distance.h"
#include "track/utc_time.h"

#include <cmath>
#include <cstdio>

namespace viewer {

namespace {

constexpr double kKmhPerKnot = 1.852;

std::string duration_text(double seconds) {
  const auto whole = static_cast<long long>(std::llround(seconds));
  char text[48];
  std::snprintf(text, sizeof text, "%lld h %02lld min %02lld s", whole / 3600, whole / 60 % 60, whole % 60);
  return text;
}

std::string speed_text(const std::optional<double>& knots) {
  if (!knots) return "--";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f km/h", *knots * kKmhPerKnot);
  return text;
}

std::string time_text(const std::optional<int64_t>& ms) {
  return ms ? track::journal_date_text(*ms) + " " + track::journal_time_text(*ms) : "--";
}

std::string degrees_text(double low, double high) {
  char text[48];
  std::snprintf(text, sizeof text, "%.5f\xC2\xB0 \xC3\xA0 %.5f\xC2\xB0", low, high);  // "° à "
  return text;
}

// A speed figure twice: the receiver's own speeds, then distance over time.
void add_speeds(std::vector<StatisticsLine>& lines, const std::string& caption, const std::optional<double>& recorded,
                const std::optional<double>& computed) {
  lines.emplace_back(caption +
                         " enregistr\xC3\xA9"
                         "e",
                     speed_text(recorded));
  lines.emplace_back(caption +
                         " calcul\xC3\xA9"
                         "e",
                     speed_text(computed));
}

}  // namespace

std::vector<StatisticsLine> statistics_lines(const track::TrackStatistics& s) {
  const bool timed = s.first_time_ms.has_value();
  std::vector<StatisticsLine> lines = {
      {"Distance", track::Format_distance(track::whole_metres(s.distance_m))},
      {"D\xC3\xA9"
       "but",
       time_text(s.first_time_ms)},
      {"Fin", time_text(s.last_time_ms)},
      {"Dur\xC3\xA9"
       "e",
       timed ? duration_text(s.duration_s) : "--"},
      {"En mouvement", timed ? duration_text(s.moving_time_s) : "--"},
      {"Arr\xC3\xAA"
       "ts",
       timed ? std::to_string(s.stop_count) + " (" + duration_text(s.stopped_time_s) + ")" : "--"},
  };
  add_speeds(lines, "Vitesse moyenne", s.average_speed_kn_recorded, s.average_speed_kn_computed);
  lines.emplace_back("Moyenne en mouvement", speed_text(s.moving_average_speed_kn));
  add_speeds(lines, "Vitesse maximale", s.max_speed_kn_recorded, s.max_speed_kn_computed);
  lines.emplace_back("Latitudes", degrees_text(s.min_lat, s.max_lat));
  lines.emplace_back("Longitudes", degrees_text(s.min_lon, s.max_lon));
  return lines;
}

}  // namespace viewer
