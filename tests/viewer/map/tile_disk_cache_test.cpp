#include "viewer/map/tile_disk_cache.h"

#include "viewer/map/http_freshness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace viewer::map {
namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(12, 0), QTimeZone::utc());

TEST(HttpFreshness, HeadersDecideHowLongATileIsGood) {
  struct Case {
    const char *cache_control, *expires, *date, *age;
    bool store;
    qint64 seconds;
  };
  const Case cases[] = {
      {"public, max-age=604800", "", "", "", true, 604800},
      {"max-age=3600", "Thu, 01 Jan 2099 00:00:00 GMT", "", "600", true, 3000},                // max-age wins, less Age
      {"", "Fri, 01 May 2026 13:00:00 GMT", "Fri, 01 May 2026 11:00:00 GMT", "", true, 7200},  // server clock off
      {"", "0", "", "", true, 0},
      {"no-cache, max-age=99", "", "", "", true, 0},
      {"no-store", "", "", "", false, 0},
      {"", "", "", "", true, 0},
  };
  for (const Case& c : cases) {
    const Freshness f = freshness_of({c.cache_control, c.expires, c.date, c.age, "\"e1\"", ""}, kNow);
    EXPECT_EQ(f.store, c.store) << c.cache_control;
    EXPECT_EQ(kNow.secsTo(f.expires), c.seconds) << c.cache_control << c.expires;
    EXPECT_EQ(f.etag, "\"e1\"");
  }
}

TEST(TileDiskCache, LeastRecentlyUsedGoFirstAcrossRuns) {
  QTemporaryDir root;
  const StoredTile tile{{true, kNow, "\"v1\"", "Fri, 01 May 2026 10:00:00 GMT"}, QByteArray(1000, 'x')};
  const qint64 size = TileDiskCache::file_size(tile);
  {
    TileDiskCache cache(root.path(), 3 * size);
    for (const char* key : {"s/1/0/0", "s/1/0/1", "s/1/1/0"}) {
      ASSERT_TRUE(TileDiskCache::write(cache.path(key), tile));
      EXPECT_TRUE(cache.record(key, size).isEmpty());
      QFile(cache.path(key))
          .setFileTime(kNow.addSecs(static_cast<qint64>(cache.tile_count())), QFileDevice::FileModificationTime);
    }
    cache.touch("s/1/0/0");
    EXPECT_EQ(cache.record("s/1/1/1", size), QStringList{cache.path("s/1/0/1")});
    EXPECT_EQ(cache.size_bytes(), 3 * size);
  }
  // A new run reads the order back from the files' times: over a smaller
  // cap, the older file goes.
  QFile::remove(root.filePath("s/1/0/1.tile"));
  const std::shared_ptr<TileDiskCache> opened = TileDiskCache::open(root.path(), size).result();
  TileDiskCache& cache = *opened;
  EXPECT_EQ(cache.tile_count(), 1u);
  EXPECT_FALSE(QFile::exists(cache.path("s/1/0/0")));
  EXPECT_TRUE(cache.contains("s/1/1/0"));

  // A 304 without validators keeps the old ones.
  const QString path = cache.path("s/1/1/0");
  ASSERT_TRUE(TileDiskCache::refresh(path, {true, kNow.addDays(7), "", ""}));
  const auto read = TileDiskCache::read(path);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->bytes, tile.bytes);
  EXPECT_EQ(read->freshness.expires, kNow.addDays(7));
  EXPECT_EQ(read->freshness.etag, "\"v1\"");
  EXPECT_EQ(read->freshness.last_modified, tile.freshness.last_modified);
  QFile damaged(path);
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("<html>not a tile</html>");
  damaged.close();
  EXPECT_FALSE(TileDiskCache::read(path));
}

TEST(TileDiskCache, RootFollowsXdgCacheHome) {
  qputenv("XDG_CACHE_HOME", "/tmp/xdg");
  EXPECT_EQ(TileDiskCache::default_root(), "/tmp/xdg/orvanta/tiles");
  qputenv("XDG_CACHE_HOME", "relative");
  EXPECT_EQ(TileDiskCache::default_root(), QDir::homePath() + "/.cache/orvanta/tiles");
  qunsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace viewer::map
