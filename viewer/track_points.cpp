#include "viewer/track_points.h"

#include "viewer/track_distance.h"

namespace viewer {

void TrackPoints::clear() {
  // Swapping releases the memory: a reload of a shorter file should not keep
  // the longest track ever loaded.
  std::string().swap(text_);
  std::vector<std::size_t>().swap(starts_);
  std::vector<std::array<uint8_t, kFieldCount>>().swap(ends_);
  std::vector<PointPosition>().swap(positions_);
  std::vector<int64_t>().swap(distances_);
}

void TrackPoints::append(std::string_view read, const JournalLine& line) {
  const PointPosition position{Secondes_arc(line.lat_degres, line.lat_minutes, line.lat_fraction),
                               Secondes_arc(line.lon_degres, line.lon_minutes, line.lon_fraction),
                               static_cast<uint8_t>(line.lat_degres), static_cast<uint8_t>(line.lat_minutes)};
  const int64_t distance =
      positions_.empty() ? 0 : distances_.back() + Distance_points(position, positions_.back());
  starts_.push_back(text_.size());
  text_.append(read.substr(0, line.ends[kVitesse]));
  ends_.push_back(line.ends);
  positions_.push_back(position);
  distances_.push_back(distance);
}

Struct_ligne_donnees TrackPoints::operator[](std::size_t i) const {
  JournalLine line;
  line.ends = ends_[i];
  const std::string_view read = std::string_view(text_).substr(starts_[i], line.ends[kVitesse]);
  auto text = [&](JournalField f) { return std::string(line.field(read, f)); };
  Struct_ligne_donnees r;
  r.Date = text(kDate);
  r.Heure = text(kHeure);
  r.Vitesse = text(kVitesse);
  r.Distance_cumulee = distances_[i];
  r.Lat_degres = text(kLatDegres);
  r.Lat_minutes = text(kLatMinutes);
  r.Lat_fraction = text(kLatFraction);
  r.Lat_hemisphere = std::string(journal_trim(line.field(read, kLatHemisphere)));
  r.Lon_degres = text(kLonDegres);
  r.Lon_minutes = text(kLonMinutes);
  r.Lon_fraction = text(kLonFraction);
  r.Lon_hemisphere = std::string(journal_trim(line.field(read, kLonHemisphere)));
  return r;
}

}  // namespace viewer
