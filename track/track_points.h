// The loaded track (Liste_points), stored compactly for tracks of millions of
// points: per point its signed position at full precision (all that drawing,
// the cursor and the distances need), its distance along the track and the
// offset of its line in the journal. The record's texts are not held: the
// cursor re-reads the one line it shows from the journal, which the track
// keeps open.
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

class TrackPoints {
 public:
  // Empties the track, releasing its memory and its journal.
  void clear();
  // Starts an empty track read from `journal`, with room reserved for as many
  // points as its size can hold (an accepted line takes kShortestLine bytes at
  // least), so that the store is not regrown and copied while it fills.
  void start(std::shared_ptr<const ByteSource> journal);

  std::size_t size() const { return positions_.size(); }
  bool empty() const { return positions_.empty(); }

  // Adds the point scanned from the read at byte `offset` of the journal; its
  // distance along the track is the last point's plus the step between them.
  // The distances are worked out a batch of points at a time (the steps of a
  // batch overlap in the processor, where one at a time each waits for the
  // last); finish() works out those still pending.
  void append(uint64_t offset, const JournalLine& line);
  void finish();

  // The record at `i` as read, re-read from the journal; nothing when the
  // journal no longer holds that line there (rewritten since the load).
  // Distances are there once the track is finished.
  std::optional<Struct_ligne_donnees> operator[](std::size_t i) const;
  const PointPosition& position(std::size_t i) const { return positions_[i]; }
  double Distance_cumulee(std::size_t i) const { return distances_[i]; }
  // The last point's distance; 0 without points.
  double Longueur_totale() const { return distances_.empty() ? 0 : distances_.back(); }

 private:
  std::shared_ptr<const ByteSource> journal_;
  std::vector<PointPosition> positions_;
  std::vector<double> distances_;
  std::vector<uint64_t> offsets_;
  TrackDistance steps_;
  double length_ = 0;
};

}  // namespace track
