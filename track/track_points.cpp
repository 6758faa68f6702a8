#include "track/track_points.h"

namespace track {

void TrackPoints::clear() {
  // Swapping releases the memory: a reload of a shorter file should not keep
  // the longest track ever loaded.
  journal_.reset();
  std::vector<PointPosition>().swap(positions_);
  std::vector<int64_t>().swap(distances_);
  std::vector<uint64_t>().swap(offsets_);
  steps_ = TrackDistance();
}

void TrackPoints::start(std::shared_ptr<const ByteSource> journal) {
  clear();
  // Only the pages written to become resident, so reserving for the
  // shortest lines costs address space, not memory. A journal that grows
  // while it is read regrows the store once more.
  const std::size_t room = static_cast<std::size_t>(journal->size() / kShortestLine + 1);
  positions_.reserve(room);
  distances_.reserve(room);
  offsets_.reserve(room);
  journal_ = std::move(journal);
}

void TrackPoints::append(uint64_t offset, const JournalLine& line) {
  const PointPosition position{Secondes_arc(line.lat_degres, line.lat_minutes, line.lat_fraction),
                               Secondes_arc(line.lon_degres, line.lon_minutes, line.lon_fraction)};
  distances_.push_back(positions_.empty() ? 0 : distances_.back() + steps_.next(positions_.back(), position));
  positions_.push_back(position);
  offsets_.push_back(offset);
}

std::optional<Struct_ligne_donnees> TrackPoints::operator[](std::size_t i) const {
  char bytes[kLongestRead];
  const std::optional<std::size_t> got = journal_ ? journal_->read_at(offsets_[i], bytes, sizeof bytes) : std::nullopt;
  if (!got) return std::nullopt;
  // The same read as at the load: up to the first LF.
  std::string_view read(bytes, *got);
  if (const std::size_t lf = read.find('\n'); lf != std::string_view::npos) read = read.substr(0, lf + 1);
  const std::optional<JournalLine> line = scan_journal_line(read);
  if (!line || Secondes_arc(line->lat_degres, line->lat_minutes, line->lat_fraction) != positions_[i].lat_seconds ||
      Secondes_arc(line->lon_degres, line->lon_minutes, line->lon_fraction) != positions_[i].lon_seconds) {
    return std::nullopt;
  }
  auto text = [&](JournalField f) { return std::string(line->field(read, f)); };
  Struct_ligne_donnees r;
  r.Date = text(kDate);
  r.Heure = text(kHeure);
  r.Vitesse = text(kVitesse);
  r.Distance_cumulee = distances_[i];
  r.Lat_degres = text(kLatDegres);
  r.Lat_minutes = text(kLatMinutes);
  r.Lat_fraction = text(kLatFraction);
  r.Lat_hemisphere = std::string(journal_trim(line->field(read, kLatHemisphere)));
  r.Lon_degres = text(kLonDegres);
  r.Lon_minutes = text(kLonMinutes);
  r.Lon_fraction = text(kLonFraction);
  r.Lon_hemisphere = std::string(journal_trim(line->field(read, kLonHemisphere)));
  return r;
}

}  // namespace track
