// The loaded track (Liste_points): every accepted journal line, stored
// compactly. The lines' bytes go one after the other into one arena; the
// coordinates are kept as whole arc-seconds computed once at load, apart from
// the text, because drawing and distances only ever need those.
#pragma once

#include "viewer/journal_line.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

// One track point with its texts as read (blanks included).
struct Struct_ligne_donnees {
  std::string Date;
  std::string Heure;
  std::string Vitesse;
  int64_t Distance_cumulee = 0;  // metres from the first point
  std::string Lat_degres;
  std::string Lat_minutes;
  std::string Lat_fraction;
  std::string Lat_hemisphere;
  std::string Lon_degres;
  std::string Lon_minutes;
  std::string Lon_fraction;
  std::string Lon_hemisphere;
};

// Degrees, minutes and ten-thousandths of a minute as whole arc-seconds,
// truncating: a fraction of 9999 adds 59 seconds. Hemisphere letters never
// change the sign; degrees are negative only for grid lines.
constexpr int32_t Secondes_arc(int32_t degres, int32_t minutes, int32_t fraction) {
  return degres * 3600 + minutes * 60 + (fraction * 6) / 1000;
}

// What the plan and the distances need of a point.
struct PointPosition {
  int32_t lat_seconds;
  int32_t lon_seconds;
  uint8_t lat_degres;
  uint8_t lat_minutes;
};

class TrackPoints {
 public:
  void clear();
  std::size_t size() const { return positions_.size(); }
  bool empty() const { return positions_.empty(); }

  // Adds the point scanned from `read`; its distance along the track is the
  // last point's plus the step between the two.
  void append(std::string_view read, const JournalLine& line);

  Struct_ligne_donnees operator[](std::size_t i) const;
  const PointPosition& position(std::size_t i) const { return positions_[i]; }
  int64_t Distance_cumulee(std::size_t i) const { return distances_[i]; }
  // The last point's distance; 0 without points.
  int64_t Longueur_totale() const { return distances_.empty() ? 0 : distances_.back(); }

 private:
  std::string text_;  // each line up to its CR
  std::vector<std::size_t> starts_;
  std::vector<std::array<uint8_t, kFieldCount>> ends_;
  std::vector<PointPosition> positions_;
  std::vector<int64_t> distances_;
};

}  // namespace viewer
