// Tiles from a tile server, through the disk cache: a tile on disk is shown
// at once and, when its freshness has run out, asked again conditionally; a
// tile not on disk is fetched. A failed request puts the source offline for a
// while (no new requests; cached tiles only, missing ones null) and says so
// once on the status line; the first success says all is well again.
#pragma once

#include "viewer/map/map_source.h"
#include "viewer/map/tile_disk_cache.h"
#include "viewer/map/tile_fetcher.h"
#include "viewer/map/tile_source.h"

#include <QDateTime>
#include <QThreadPool>
#include <functional>
#include <unordered_set>

namespace viewer::map {

class OnlineTileSource : public TileSource {
  Q_OBJECT

 public:
  using Clock = std::function<QDateTime()>;
  // How long the source stays offline after a failure before trying again.
  static constexpr int kOfflineSeconds = 30;

  OnlineTileSource(MapSource source, TileDiskCache& cache, Clock clock = &QDateTime::currentDateTimeUtc,
                   QObject* parent = nullptr);
  ~OnlineTileSource() override;

  QString attribution() const override { return attribution_or_default(source_.attribution); }
  void request(const std::vector<TileId>& missing, const std::vector<TileId>& keep) override;

  TileFetcher& fetcher() { return fetcher_; }

 private:
  QString key_of(const TileId& tile) const;
  void load_from_disk(const TileId& tile, const QString& key);
  void fetch(const TileId& tile, const QString& key, const Freshness& held);
  void store(const TileId& tile, const QString& key, const TileResponse& response);
  void fetched(const QString& key, const TileResponse& response);
  void deliver_nothing_later(const TileId& tile);
  void go_offline(const QString& reason);
  void go_online();
  void remove_files(const QStringList& paths);
  bool offline() const;

  MapSource source_;
  QString folder_;
  TileDiskCache& cache_;
  Clock clock_;
  TileFetcher fetcher_;
  QThreadPool disk_;                                  // one thread: the file operations run in the order asked
  std::unordered_set<TileId, TileIdHash> reading_;    // from disk
  std::unordered_set<TileId, TileIdHash> not_found_;  // 404: not asked again
  struct Fetching {
    TileId tile;
    bool revalidating;  // the tile on disk has been shown already
  };
  QHash<QString, Fetching> fetching_;
  QSet<QString> keep_;
  QDateTime offline_until_;
  QString status_;
};

}  // namespace viewer::map
