// The loaded track (Liste_points), stored compactly for tracks of millions of
// points: per point its signed position at full precision (all that drawing,
// the cursor and the distances need), its distance along the track, its time
// and speed as recorded and, for a journal, the offset of its line. The
// record's texts are not held: the cursor re-reads the one line it shows from
// the journal, which the track keeps open. Points read from other formats
// (GPX, NMEA, CSV) have no journal: their texts are made from the numbers, in
// the journal's layout.
//
// 26 bytes a point (a journal line takes 65): the time as whole seconds from
// the track's first time in an int32 (milliseconds and elevations only once a
// point has them), the speed in a uint16 (hundredths of a knot up to 500 kn,
// tenths above), the offset's low 32 bits with the rare changes of its high
// bits kept apart.
//
// Longitudes are unwrapped from the first point: each is taken modulo a turn
// to lie within half a turn of the one before, so a track crossing the 180th
// meridian goes on across it instead of jumping to the other side of the
// plan. A track that has gone nine times round the Earth starts again from
// the longitude as written.
#pragma once

#include "track/journal_line.h"
#include "track/journal_reads.h"
#include "track/track_distance.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace track {

// One track point with its texts as read (blanks included).
struct Struct_ligne_donnees {
  std::string Date;
  std::string Heure;
  std::string Vitesse;
  double Distance_cumulee = 0;  // metres from the first point
  std::string Lat_degres;
  std::string Lat_minutes;
  std::string Lat_fraction;
  std::string Lat_hemisphere;
  std::string Lon_degres;
  std::string Lon_minutes;
  std::string Lon_fraction;
  std::string Lon_hemisphere;
};

// A point as the formats other than the journal give it, in their units.
struct TrackSample {
  double lat_degrees = 0;  // north positive
  double lon_degrees = 0;  // east positive
  std::optional<int64_t> time_ms;
  std::optional<double> speed_knots;
  std::optional<double> elevation_m;
};

class TrackPoints {
 public:
  // Empties the track, releasing its memory and its journal.
  void clear();
  // Starts an empty track read from `journal`, with room reserved for as many
  // points as its size can hold (an accepted line takes kShortestLine bytes at
  // least), so that the store is not regrown and copied while it fills.
  void start(std::shared_ptr<const ByteSource> journal);
  // Starts an empty track of points from another format, with room for
  // `expected` of them.
  void start_samples(std::size_t expected = 0);

  std::size_t size() const { return positions_.size(); }
  bool empty() const { return positions_.empty(); }

  // Adds the point scanned from the read at byte `offset` of the journal; its
  // distance along the track is the last point's plus the step between them.
  // The distances are worked out a batch of points at a time (the steps of a
  // batch overlap in the processor, where one at a time each waits for the
  // last); finish() works out those still pending.
  void append(uint64_t offset, std::string_view read, const JournalLine& line);
  // Adds a point of a track started with start_samples(); its position is
  // rounded to the journal's precision.
  void append(const TrackSample& sample);
  void finish();

  // The record at `i` as read, re-read from the journal; nothing when the
  // journal no longer holds that line there (rewritten since the load).
  // Distances are there once the track is finished.
  std::optional<Struct_ligne_donnees> operator[](std::size_t i) const;
  const PointPosition& position(std::size_t i) const { return positions_[i]; }
  double Distance_cumulee(std::size_t i) const { return distances_[i]; }
  // The last point's distance; 0 without points.
  double Longueur_totale() const { return distances_.empty() ? 0 : distances_.back(); }

  // UTC milliseconds since 1970; nothing when the record has no calendar
  // time, or one more than 68 years from the track's first.
  std::optional<int64_t> time_ms(std::size_t i) const;
  // As recorded (to a hundredth of a knot); nothing when the record has none.
  std::optional<double> speed_knots(std::size_t i) const;
  // Above mean sea level, from GPX and NMEA GGA; nothing otherwise.
  std::optional<double> elevation_m(std::size_t i) const;

  void swap(TrackPoints& other) noexcept;

 private:
  void append_values(std::optional<int64_t> ms, std::optional<double> knots);
  void append_position(PointPosition position);
  uint64_t offset(std::size_t i) const;
  std::optional<Struct_ligne_donnees> sample_texts(std::size_t i) const;

  std::shared_ptr<const ByteSource> journal_;
  std::vector<PointPosition> positions_;
  std::vector<double> distances_;
  // Journal tracks only: each point's offset, low bits, and from which point
  // on the high bits take which value.
  std::vector<uint32_t> offsets_low_;
  std::vector<std::pair<std::size_t, uint32_t>> offsets_high_;
  // Seconds from base_s_; kNoTime when none.
  std::vector<int32_t> seconds_;
  std::optional<int64_t> base_s_;
  // Empty until a point has milliseconds, then one per point.
  std::vector<uint16_t> millis_;
  std::vector<uint16_t> speeds_;
  // Empty until a point has an elevation, then one per point (NaN: none).
  std::vector<float> elevations_;
  // The journal's last date text and its day, so that a day's records
  // convert their date once.
  std::string last_date_;
  std::optional<int64_t> last_day_s_;
  TrackDistance steps_;
  double length_ = 0;
};

inline void swap(TrackPoints& a, TrackPoints& b) noexcept { a.swap(b); }

}  // namespace track
