#include "viewer/map/online_tile_source.h"

#include "viewer/map/tile_decoding.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>
#include <optional>
#include <utility>

namespace viewer::map {

namespace {

struct DiskRead {
  Freshness freshness;
  QImage image;
};

}  // namespace

OnlineTileSource::OnlineTileSource(MapSource source, TileDiskCache& cache, Clock clock, QObject* parent)
    : TileSource(parent),
      source_(std::move(source)),
      folder_(cache_folder_name(source_.url_template)),
      cache_(cache),
      clock_(std::move(clock)) {
  disk_.setMaxThreadCount(1);
  connect(&fetcher_, &TileFetcher::fetched, this,
          [this](const QString& key, const TileResponse& response) { fetched(key, response); });
}

OnlineTileSource::~OnlineTileSource() { disk_.waitForDone(); }

QString OnlineTileSource::key_of(const TileId& tile) const {
  return TileDiskCache::key(folder_, tile.zoom, tile.x, tile.y);
}

bool OnlineTileSource::offline() const { return offline_until_.isValid() && clock_() < offline_until_; }

void OnlineTileSource::request(const std::vector<TileId>& missing, const std::vector<TileId>& keep) {
  keep_.clear();
  for (const TileId& tile : keep) keep_.insert(key_of(tile));
  fetcher_.keep_only(keep_);
  fetching_.removeIf([this](const auto& entry) { return !fetcher_.pending(entry.key()); });

  for (const TileId& tile : missing) {
    const QString key = key_of(tile);
    if (reading_.count(tile) != 0) continue;
    // A tile being revalidated is still read from disk when asked for again.
    const auto fetching = fetching_.constFind(key);
    if (fetching != fetching_.cend() && !fetching->revalidating) continue;
    if (cache_.contains(key)) {
      load_from_disk(tile, key);
    } else if (not_found_.count(tile) != 0 || offline()) {
      deliver_nothing_later(tile);
    } else {
      fetch(tile, key, {});
    }
  }
}

void OnlineTileSource::load_from_disk(const TileId& tile, const QString& key) {
  reading_.insert(tile);
  cache_.touch(key);
  QtConcurrent::run(&disk_, [path = cache_.path(key)]() -> std::optional<DiskRead> {
    std::optional<StoredTile> stored = TileDiskCache::read(path);
    if (!stored) return std::nullopt;
    QImage image = decode_tile(stored->bytes);
    if (image.isNull()) return std::nullopt;
    return DiskRead{stored->freshness, std::move(image)};
  }).then(this, [this, tile, key](const std::optional<DiskRead>& read) {
    reading_.erase(tile);
    if (!read) {  // gone or damaged: fetched anew
      cache_.forget(key);
      if (offline())
        emit loaded(tile, {});
      else
        fetch(tile, key, {});
      return;
    }
    emit loaded(tile, read->image);
    if (read->freshness.expires <= clock_() && !offline() && keep_.contains(key)) fetch(tile, key, read->freshness);
  });
}

void OnlineTileSource::fetch(const TileId& tile, const QString& key, const Freshness& held) {
  const bool revalidating = !held.etag.isEmpty() || !held.last_modified.isEmpty() || held.expires.isValid();
  fetching_.insert(key, {tile, revalidating});
  fetcher_.fetch(key, QUrl(tile_url(source_.url_template, tile)), held);
}

void OnlineTileSource::fetched(const QString& key, const TileResponse& response) {
  const auto found = fetching_.constFind(key);
  if (found == fetching_.cend()) return;
  const Fetching fetching = *found;
  fetching_.erase(found);
  const TileId tile = fetching.tile;
  switch (response.outcome) {
    case TileResponse::Outcome::Image:
      go_online();
      store(tile, key, response);
      return;
    case TileResponse::Outcome::NotModified:
      go_online();
      if (cache_.contains(key)) {
        const Freshness freshness = freshness_of(response.headers, clock_());
        disk_.start([path = cache_.path(key), freshness] { TileDiskCache::refresh(path, freshness); });
      }
      return;
    case TileResponse::Outcome::Missing:
      go_online();
      not_found_.insert(tile);
      if (cache_.contains(key)) {  // withdrawn by the server
        cache_.forget(key);
        remove_files({cache_.path(key)});
      }
      emit loaded(tile, {});
      return;
    case TileResponse::Outcome::Failed:
      if (!fetching.revalidating) emit loaded(tile, {});
      go_offline(response.error);
      return;
  }
}

void OnlineTileSource::store(const TileId& tile, const QString& key, const TileResponse& response) {
  StoredTile stored{freshness_of(response.headers, clock_()), response.body};
  const bool keep_on_disk = stored.freshness.store;
  QtConcurrent::run(&disk_, [path = cache_.path(key), stored, keep_on_disk] {
    QImage image = decode_tile(stored.bytes);
    // Only images go to disk: an error page served as 200 is not kept.
    const bool written = !image.isNull() && keep_on_disk && TileDiskCache::write(path, stored);
    return std::make_pair(image, written);
  }).then(this, [this, tile, key, size = TileDiskCache::file_size(stored)](const std::pair<QImage, bool>& result) {
    if (result.second) remove_files(cache_.record(key, size));
    emit loaded(tile, result.first);
  });
}

void OnlineTileSource::remove_files(const QStringList& paths) {
  if (paths.isEmpty()) return;
  disk_.start([paths] {
    for (const QString& path : paths) QFile::remove(path);
  });
}

void OnlineTileSource::deliver_nothing_later(const TileId& tile) {
  QMetaObject::invokeMethod(
      this, [this, tile] { emit loaded(tile, {}); }, Qt::QueuedConnection);
}

void OnlineTileSource::go_offline(const QString& reason) {
  offline_until_ = clock_().addSecs(kOfflineSeconds);
  // What is queued would only fail in turn: dropped, and shown grey. What
  // runs ends on its own.
  fetcher_.drop_queued();
  fetching_.removeIf([this](const auto& entry) {
    if (fetcher_.pending(entry.key())) return false;
    if (!entry.value().revalidating) deliver_nothing_later(entry.value().tile);
    return true;
  });
  if (!status_.isEmpty()) return;
  status_ = QString("Carte hors ligne (%1) : seules les tuiles en cache sont affichées").arg(reason);
  emit status_changed(status_);
}

void OnlineTileSource::go_online() {
  offline_until_ = {};
  if (status_.isEmpty()) return;
  status_.clear();
  emit status_changed(status_);
}

}  // namespace viewer::map
