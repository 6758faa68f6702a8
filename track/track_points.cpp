#include "track/track_points.h"

#include "track/journal_values.h"
#include "track/utc_time.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

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

constexpr int32_t kNoTime = std::numeric_limits<int32_t>::min();
constexpr uint16_t kNoSpeed = 0xFFFF;
// Hundredths of a knot below this code, tenths of a knot above it, the
// largest code standing for every speed from there on.
constexpr uint16_t kTenthsFrom = 50000;
constexpr double kTenthsFromKnots = kTenthsFrom / 100.0;
constexpr uint16_t kFastestCode = 0xFFFE;

uint16_t speed_code(std::optional<double> knots) {
  if (!knots || !(*knots >= 0)) return kNoSpeed;  // NaN too
  if (*knots < kTenthsFromKnots) return static_cast<uint16_t>(std::lround(*knots * 100));
  const double tenths = std::round((*knots - kTenthsFromKnots) * 10);
  return static_cast<uint16_t>(std::min<double>(kTenthsFrom + tenths, kFastestCode));
}

double speed_of(uint16_t code) {
  return code < kTenthsFrom ? code / 100.0 : kTenthsFromKnots + (code - kTenthsFrom) / 10.0;
}

// Degrees to the journal's units, rounded to the nearest; the caller has
// checked the range.
int32_t units_of(double degrees) { return static_cast<int32_t>(std::lround(degrees * kUnitsPerDegree)); }

// A position's texts in the journal's layout: degrees on `width` digits,
// then " mm" and " ffff" with their leading zeros.
void angle_texts(int64_t units, int width, std::string& degres, std::string& minutes, std::string& fraction) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, static_cast<int>(units / kUnitsPerDegree));
  degres = text;
  std::snprintf(text, sizeof text, " %02d", static_cast<int>(units / 10000 % 60));
  minutes = text;
  std::snprintf(text, sizeof text, " %04d", static_cast<int>(units % 10000));
  fraction = text;
}

}  // namespace

void TrackPoints::clear() {
  // Swapping releases the memory: a reload of a shorter file should not keep
  // the longest track ever loaded.
  journal_.reset();
  std::vector<PointPosition>().swap(positions_);
  std::vector<double>().swap(distances_);
  std::vector<uint32_t>().swap(offsets_low_);
  offsets_high_.clear();
  std::vector<int32_t>().swap(seconds_);
  base_s_.reset();
  std::vector<uint16_t>().swap(millis_);
  std::vector<uint16_t>().swap(speeds_);
  std::vector<float>().swap(elevations_);
  last_date_.clear();
  last_day_s_.reset();
  steps_ = TrackDistance();
  length_ = 0;
}

void TrackPoints::swap(TrackPoints& other) noexcept {
  using std::swap;
  swap(journal_, other.journal_);
  swap(positions_, other.positions_);
  swap(distances_, other.distances_);
  swap(offsets_low_, other.offsets_low_);
  swap(offsets_high_, other.offsets_high_);
  swap(seconds_, other.seconds_);
  swap(base_s_, other.base_s_);
  swap(millis_, other.millis_);
  swap(speeds_, other.speeds_);
  swap(elevations_, other.elevations_);
  swap(last_date_, other.last_date_);
  swap(last_day_s_, other.last_day_s_);
  swap(steps_, other.steps_);
  swap(length_, other.length_);
}

void TrackPoints::start(std::shared_ptr<const ByteSource> journal) {
  clear();
  // Only the pages written to become resident, so reserving for the
  // shortest lines costs address space, not memory. A journal that grows
  // while it is read regrows the store once more.
  const std::size_t room = static_cast<std::size_t>(journal->size() / kShortestLine + 1);
  positions_.reserve(room);
  distances_.reserve(room);
  offsets_low_.reserve(room);
  seconds_.reserve(room);
  speeds_.reserve(room);
  journal_ = std::move(journal);
}

void TrackPoints::start_samples(std::size_t expected) {
  clear();
  positions_.reserve(expected);
  distances_.reserve(expected);
  seconds_.reserve(expected);
  speeds_.reserve(expected);
}

void TrackPoints::append(uint64_t offset, std::string_view read, const JournalLine& line) {
  const std::size_t i = positions_.size();
  const auto high = static_cast<uint32_t>(offset >> 32);
  if (high != (offsets_high_.empty() ? 0 : offsets_high_.back().second)) offsets_high_.emplace_back(i, high);
  offsets_low_.push_back(static_cast<uint32_t>(offset));
  // A day's records share their date text: it is converted once.
  const std::string_view date = line.field(read, kDate);
  if (date != last_date_) {
    last_date_.assign(date);
    last_day_s_ = journal_day_s(date);
  }
  const std::optional<int64_t> second = journal_second_of_day(line.field(read, kHeure));
  std::optional<int64_t> ms;
  if (last_day_s_ && second) ms = (*last_day_s_ + *second) * 1000;
  append_values(ms, journal_speed_knots(line.field(read, kVitesse)));
  append_position(line.position());
}

void TrackPoints::append(const TrackSample& sample) {
  append_values(sample.time_ms, sample.speed_knots);
  // Before the first elevation, none of the points had one.
  const bool first_elevation = sample.elevation_m && elevations_.empty();
  if (first_elevation) elevations_.assign(positions_.size(), std::numeric_limits<float>::quiet_NaN());
  if (first_elevation || !elevations_.empty()) {
    elevations_.push_back(sample.elevation_m ? static_cast<float>(*sample.elevation_m)
                                             : std::numeric_limits<float>::quiet_NaN());
  }
  append_position({units_of(sample.lat_degrees), units_of(sample.lon_degrees)});
}

void TrackPoints::append_values(std::optional<int64_t> ms, std::optional<double> knots) {
  int32_t seconds = kNoTime;
  uint16_t millis = 0;
  if (ms) {
    const int64_t whole = *ms >= 0 ? *ms / 1000 : -((-*ms + 999) / 1000);
    millis = static_cast<uint16_t>(*ms - whole * 1000);
    if (!base_s_) base_s_ = whole;
    const int64_t from_base = whole - *base_s_;
    if (from_base > std::numeric_limits<int32_t>::min() && from_base <= std::numeric_limits<int32_t>::max()) {
      seconds = static_cast<int32_t>(from_base);
    }
  }
  const bool first_millis = millis != 0 && millis_.empty();
  if (first_millis) millis_.assign(positions_.size(), 0);
  if (first_millis || !millis_.empty()) millis_.push_back(seconds == kNoTime ? 0 : millis);
  seconds_.push_back(seconds);
  speeds_.push_back(speed_code(knots));
}

void TrackPoints::append_position(PointPosition position) {
  if (!positions_.empty()) position.lon = unwrapped(position.lon, positions_.back().lon);
  positions_.push_back(position);
  constexpr std::size_t kBatch = 256;
  if (positions_.size() - distances_.size() >= kBatch) finish();
}

uint64_t TrackPoints::offset(std::size_t i) const {
  const auto after = std::upper_bound(offsets_high_.begin(), offsets_high_.end(), i,
                                      [](std::size_t index, const auto& change) { return index < change.first; });
  const uint64_t high = after == offsets_high_.begin() ? 0 : std::prev(after)->second;
  return (high << 32) | offsets_low_[i];
}

std::optional<int64_t> TrackPoints::time_ms(std::size_t i) const {
  if (seconds_[i] == kNoTime) return std::nullopt;
  return (*base_s_ + seconds_[i]) * 1000 + (millis_.empty() ? 0 : millis_[i]);
}

std::optional<double> TrackPoints::speed_knots(std::size_t i) const {
  if (speeds_[i] == kNoSpeed) return std::nullopt;
  return speed_of(speeds_[i]);
}

std::optional<double> TrackPoints::elevation_m(std::size_t i) const {
  if (elevations_.empty() || std::isnan(elevations_[i])) return std::nullopt;
  return elevations_[i];
}

void TrackPoints::finish() {
  const std::size_t done = distances_.size();
  distances_.resize(positions_.size());
  steps_.along(positions_.data() + done, positions_.size() - done, length_, distances_.data() + done);
}

std::optional<Struct_ligne_donnees> TrackPoints::sample_texts(std::size_t i) const {
  Struct_ligne_donnees r;
  if (const std::optional<int64_t> ms = time_ms(i)) {
    r.Date = journal_date_text(*ms);
    r.Heure = journal_time_text(*ms);
  } else {
    r.Date = "--/--/----";
    r.Heure = "--:--:--";
  }
  if (const std::optional<double> knots = speed_knots(i)) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *knots, std::chars_format::fixed, 1).ptr;
    r.Vitesse = std::string(text, end) + " noeuds";
  }
  r.Distance_cumulee = distances_[i];
  const PointPosition& p = positions_[i];
  // Back from the unwrapped longitude to one within half a turn of 0.
  int64_t lon = p.lon % kUnitsPerTurn;
  if (lon > kUnitsPerTurn / 2) lon -= kUnitsPerTurn;
  if (lon < -kUnitsPerTurn / 2) lon += kUnitsPerTurn;
  angle_texts(std::abs(int64_t{p.lat}), 2, r.Lat_degres, r.Lat_minutes, r.Lat_fraction);
  r.Lat_hemisphere = p.lat < 0 ? "S" : "N";
  angle_texts(std::abs(lon), 3, r.Lon_degres, r.Lon_minutes, r.Lon_fraction);
  r.Lon_hemisphere = lon < 0 ? "W" : "E";
  return r;
}

std::optional<Struct_ligne_donnees> TrackPoints::operator[](std::size_t i) const {
  if (!journal_) return sample_texts(i);
  char bytes[kLongestRead];
  const std::optional<std::size_t> got = journal_->read_at(offset(i), bytes, sizeof bytes);
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
