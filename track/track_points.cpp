#include "track/track_points.h"

#include <cstdlib>

namespace track {

namespace {

// Nine turns either way still fit the int32 of a position.
constexpr int64_t kFarthestUnwrapped = 9 * kUnitsPerTurn;

int64_t floor_div(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// `lon` plus the whole turns that bring it within half a turn of `previous`.
int32_t unwrapped(int32_t lon, int32_t previous) {
  const int64_t gap = int64_t{previous} - lon;
  if (gap >= -kUnitsPerTurn / 2 && gap <= kUnitsPerTurn / 2) return lon;  // nearly every step
  const int64_t turns = floor_div(gap + kUnitsPerTurn / 2, kUnitsPerTurn);
  const int64_t candidate = lon + turns * kUnitsPerTurn;
  return std::abs(candidate) > kFarthestUnwrapped ? lon : static_cast<int32_t>(candidate);
}

}  // namespace

void TrackPoints::clear() {
  // Swapping releases the memory: a reload of a shorter file should not keep
  // the longest track ever loaded.
  journal_.reset();
  std::vector<PointPosition>().swap(positions_);
  std::vector<double>().swap(distances_);
  std::vector<uint64_t>().swap(offsets_);
  steps_ = TrackDistance();
  length_ = 0;
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
  PointPosition position = line.position();
  if (!positions_.empty()) position.lon = unwrapped(position.lon, positions_.back().lon);
  positions_.push_back(position);
  offsets_.push_back(offset);
  constexpr std::size_t kBatch = 256;
  if (positions_.size() - distances_.size() >= kBatch) finish();
}

void TrackPoints::finish() {
  const std::size_t done = distances_.size();
  distances_.resize(positions_.size());
  steps_.along(positions_.data() + done, positions_.size() - done, length_, distances_.data() + done);
}

std::optional<Struct_ligne_donnees> TrackPoints::operator[](std::size_t i) const {
  char bytes[kLongestRead];
  const std::optional<std::size_t> got = journal_ ? journal_->read_at(offsets_[i], bytes, sizeof bytes) : std::nullopt;
  if (!got) return std::nullopt;
  // The same read as at the load: up to the first LF.
  std::string_view read(bytes, *got);
  if (const std::size_t lf = read.find('\n'); lf != std::string_view::npos) read = read.substr(0, lf + 1);
  const std::optional<JournalLine> line = scan_journal_line(read);
  if (!line || line->position().lat != positions_[i].lat ||
      (int64_t{positions_[i].lon} - line->position().lon) % kUnitsPerTurn != 0) {
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
