#include "viewer/map/tile_disk_cache.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimeZone>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <utility>
#include <vector>

namespace viewer::map {

namespace {

// A tile file: a header of four lines (format, expiry in seconds since the
// epoch, ETag, Last-Modified), then the image as served.
constexpr char kMagic[] = "orvanta-tile 1";
constexpr char kSuffix[] = ".tile";
// The most a tile file may hold: a tile server's image is far smaller.
constexpr qint64 kLargestTile = 4LL * 1024 * 1024;

QByteArray header_of(const Freshness& f) {
  return QByteArray(kMagic) + '\n' + QByteArray::number(f.expires.toSecsSinceEpoch()) + '\n' + f.etag + '\n' +
         f.last_modified + '\n';
}

}  // namespace

TileDiskCache::TileDiskCache(QString root, qint64 capacity_bytes) : root_(std::move(root)), capacity_(capacity_bytes) {
  struct Found {
    QString key;
    qint64 bytes;
    QDateTime used;
  };
  std::vector<Found> found;
  const QDir base(root_);
  QDirIterator it(root_, {QString("*") + kSuffix}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    QString key = base.relativeFilePath(info.filePath());
    key.chop(int(sizeof kSuffix) - 1);
    found.push_back({key, info.size(), info.lastModified()});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.used > b.used; });
  for (const Found& f : found) {
    order_.push_back({f.key, f.bytes});
    index_.emplace(f.key, std::prev(order_.end()));
    total_ += f.bytes;
  }
  for (const QString& stale : evict()) QFile::remove(stale);
}

QFuture<std::shared_ptr<TileDiskCache>> TileDiskCache::open(const QString& root, qint64 capacity_bytes) {
  return QtConcurrent::run([root, capacity_bytes] { return std::make_shared<TileDiskCache>(root, capacity_bytes); });
}

QString TileDiskCache::default_root() {
  QString base = qEnvironmentVariable("XDG_CACHE_HOME");
  // The XDG rule: a relative path is invalid and is ignored.
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.cache";
  return base + "/orvanta/tiles";
}

QString TileDiskCache::key(const QString& server_folder, int zoom, int x, int y) {
  // Asked for every tile of every frame: one allocation, no format parsing.
  return server_folder + '/' + QString::number(zoom) + '/' + QString::number(x) + '/' + QString::number(y);
}

QString TileDiskCache::path(const QString& key) const { return root_ + '/' + key + kSuffix; }

void TileDiskCache::touch(const QString& key) {
  const auto found = index_.find(key);
  if (found != index_.end()) order_.splice(order_.begin(), order_, found->second);
}

QStringList TileDiskCache::record(const QString& key, qint64 bytes) {
  forget(key);
  order_.push_front({key, bytes});
  index_.emplace(key, order_.begin());
  total_ += bytes;
  return evict();
}

void TileDiskCache::forget(const QString& key) {
  const auto found = index_.find(key);
  if (found == index_.end()) return;
  total_ -= found->second->bytes;
  order_.erase(found->second);
  index_.erase(found);
}

QStringList TileDiskCache::set_capacity(qint64 bytes) {
  capacity_ = bytes;
  return evict();
}

QStringList TileDiskCache::evict() {
  QStringList removed;
  while (total_ > capacity_ && !order_.empty()) {
    const Entry last = order_.back();
    removed << path(last.key);
    forget(last.key);
  }
  return removed;
}

std::optional<StoredTile> TileDiskCache::read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) || file.size() > kLargestTile) return std::nullopt;
  QList<QByteArray> lines;
  for (int i = 0; i < 4; ++i) {
    QByteArray line = file.readLine(1024);
    if (!line.endsWith('\n')) return std::nullopt;
    line.chop(1);
    lines << line;
  }
  if (lines[0] != kMagic) return std::nullopt;
  StoredTile tile;
  tile.freshness.expires = QDateTime::fromSecsSinceEpoch(lines[1].toLongLong(), QTimeZone::utc());
  tile.freshness.etag = lines[2];
  tile.freshness.last_modified = lines[3];
  tile.bytes = file.readAll();
  file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
  return tile;
}

bool TileDiskCache::write(const QString& path, const StoredTile& tile) {
  if (!QDir().mkpath(QFileInfo(path).path())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(header_of(tile.freshness));
  file.write(tile.bytes);
  return file.commit();
}

qint64 TileDiskCache::file_size(const StoredTile& tile) { return header_of(tile.freshness).size() + tile.bytes.size(); }

bool TileDiskCache::refresh(const QString& path, const Freshness& freshness) {
  std::optional<StoredTile> tile = read(path);
  if (!tile) return false;
  // A 304 need not repeat the validators: the old ones stay good then.
  if (!freshness.etag.isEmpty()) tile->freshness.etag = freshness.etag;
  if (!freshness.last_modified.isEmpty()) tile->freshness.last_modified = freshness.last_modified;
  tile->freshness.expires = freshness.expires;
  return write(path, *tile);
}

}  // namespace viewer::map
