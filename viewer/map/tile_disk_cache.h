// The tiles kept on disk between runs, one file per tile under a root folder
// ($XDG_CACHE_HOME/orvanta/tiles), a folder per tile server. The index of
// what is there is held in memory, most recently used first, so that telling
// whether a tile is on disk and marking its use take constant time, and the
// least recently used files go first when the cap is passed.
//
// The index is used on one thread; the files are read and written by the
// static functions, which a worker thread runs.
#pragma once

#include "viewer/map/http_freshness.h"

#include <QByteArray>
#include <QFuture>
#include <QString>
#include <QStringList>
#include <list>
#include <memory>
#include <optional>
#include <unordered_map>

namespace viewer::map {

inline constexpr qint64 kDefaultDiskCacheBytes = 500LL * 1000 * 1000;

struct StoredTile {
  Freshness freshness;
  QByteArray bytes;
};

class TileDiskCache {
 public:
  // Reads the index from the files under `root` (the oldest use is the
  // oldest modification time).
  explicit TileDiskCache(QString root, qint64 capacity_bytes = kDefaultDiskCacheBytes);

  // The same on a worker thread: reading the index walks the whole folder
  // (about 0.1 s for the 25,000 files of a full cache), which the window
  // does not wait for.
  static QFuture<std::shared_ptr<TileDiskCache>> open(const QString& root, qint64 capacity_bytes);

  // $XDG_CACHE_HOME/orvanta/tiles, or ~/.cache/orvanta/tiles.
  static QString default_root();

  // The key of a tile of a server: "<server folder>/<z>/<x>/<y>".
  static QString key(const QString& server_folder, int zoom, int x, int y);
  QString path(const QString& key) const;

  bool contains(const QString& key) const { return index_.count(key) != 0; }
  // Marks a use of a stored tile.
  void touch(const QString& key);
  // Records a file of `bytes` written for `key`; returns the paths of the
  // files to delete to stay within the cap (already out of the index).
  QStringList record(const QString& key, qint64 bytes);
  void forget(const QString& key);
  // Changes the cap; returns the files to delete as record() does.
  QStringList set_capacity(qint64 bytes);

  qint64 size_bytes() const { return total_; }
  std::size_t tile_count() const { return index_.size(); }

  // The files themselves. read() also marks the use on the file's time;
  // write() replaces the file atomically.
  static std::optional<StoredTile> read(const QString& path);
  static bool write(const QString& path, const StoredTile& tile);
  // The size write() gives the file.
  static qint64 file_size(const StoredTile& tile);
  // Replaces the expiry, and the validators given, keeping the image.
  static bool refresh(const QString& path, const Freshness& freshness);

 private:
  struct Entry {
    QString key;
    qint64 bytes;
  };
  QStringList evict();

  QString root_;
  qint64 capacity_;
  qint64 total_ = 0;
  std::list<Entry> order_;  // most recently used first
  std::unordered_map<QString, std::list<Entry>::iterator> index_;
};

}  // namespace viewer::map
