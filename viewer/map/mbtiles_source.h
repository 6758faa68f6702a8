// Tiles from an MBTiles file, for use without a network: an SQLite database
// whose "tiles" table holds PNG or JPEG images by zoom, column and row (rows
// counted from the south), and whose "metadata" table may give the bounds,
// the zoom range and the attribution, which are honoured.
#pragma once

#include "viewer/map/map_source.h"
#include "viewer/map/tile_source.h"

#include <QThreadPool>
#include <optional>
#include <unordered_set>

namespace viewer::map {

struct Bounds {
  double west, south, east, north;
};

class MbTilesSource : public TileSource {
  Q_OBJECT

 public:
  // Opens the file read-only; is_open() tells whether it is one.
  explicit MbTilesSource(const MapSource& source, QObject* parent = nullptr);
  ~MbTilesSource() override;

  bool is_open() const { return open_; }
  // Why not, in a few words, when it is not.
  QString error() const { return error_; }

  QString attribution() const override { return attribution_or_default(attribution_); }
  int min_zoom() const override { return min_zoom_; }
  int max_zoom() const override { return max_zoom_; }
  const std::optional<Bounds>& bounds() const { return bounds_; }

  void request(const std::vector<TileId>& missing, const std::vector<TileId>& keep) override;

 private:
  bool covers(const TileId& tile) const;
  QByteArray read(const TileId& tile) const;
  void read_metadata();

  QString connection_;
  bool open_ = false;
  QString error_;
  QString attribution_;
  int min_zoom_ = 0;
  int max_zoom_ = kDeepestZoom;
  std::optional<Bounds> bounds_;
  QThreadPool decoder_;
  std::unordered_set<TileId, TileIdHash> decoding_;
};

}  // namespace viewer::map
