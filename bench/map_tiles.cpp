// What the map under the track costs, each figure next to a baseline measured
// in the same run:
//   cache lookup   telling whether a tile is on disk and marking its use
//                  (forming its key, contains, touch), per tile, for indexes
//                  of 1,000 to 1,000,000 tiles, against a bare
//                  std::unordered_map lookup of keys formed beforehand;
//   cache opening  reading the index of N tile files at start, against
//                  walking the same folders without looking at the files;
//   paint          MapLayer::paint of a view whose tiles are all decoded in
//                  memory, panning by 7 pixels a frame, at scale 1 and at a
//                  scale between tile zooms, for the viewer's 715 x 539 plan
//                  and a 1920 x 1080 one, against drawing one image of the
//                  frame's size.
// Times are CPU times of this thread, medians of --runs runs (default 5).
//
//   map_tiles [--runs N] [--files N]
#include "viewer/map/map_layer.h"
#include "viewer/map/map_source.h"
#include "viewer/map/tile_disk_cache.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

using namespace viewer::map;

double cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median_of(int runs, const std::function<double()>& run) {
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) times.push_back(run());
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Every tile at once, already decoded: what painting from memory costs.
class MemorySource : public TileSource {
 public:
  MemorySource() : image_(kTileSize, kTileSize, QImage::Format_ARGB32_Premultiplied) {
    image_.fill(QColor(200, 220, 180));
  }
  QString attribution() const override { return QString::fromUtf8(kOpenStreetMapAttribution); }
  void request(const std::vector<TileId>& missing, const std::vector<TileId>&) override {
    for (const TileId& tile : missing) emit loaded(tile, image_);
  }

 private:
  QImage image_;
};

void cache_lookup(int runs) {
  std::printf("cache lookup (ns per tile)        tiles   lookup  baseline  ratio\n");
  for (const int count : {1000, 100000, 1000000}) {
    QTemporaryDir empty;
    TileDiskCache cache(empty.path(), 1LL << 60);
    std::unordered_map<QString, int> bare;
    std::vector<TileId> tiles;
    for (int i = 0; i < count; ++i) {
      const TileId t{17, 60000 + i % 1000, 40000 + i / 1000};
      tiles.push_back(t);
      const QString key = TileDiskCache::key("0123456789abcdef", t.zoom, t.x, t.y);
      cache.record(key, 20000);
      bare.emplace(key, i);
    }
    // Lookups spread over the index, as a view's tiles are to a full cache.
    constexpr int kProbes = 100000;
    std::vector<TileId> probes;
    std::vector<QString> keys;
    for (int i = 0; i < kProbes; ++i) {
      probes.push_back(tiles[static_cast<std::size_t>((i * 7919LL) % count)]);
      keys.push_back(TileDiskCache::key("0123456789abcdef", probes.back().zoom, probes.back().x, probes.back().y));
    }
    std::size_t found = 0;
    const double ours = median_of(runs, [&] {
      const double start = cpu_ms();
      for (const TileId& t : probes) {
        const QString key = TileDiskCache::key("0123456789abcdef", t.zoom, t.x, t.y);
        if (cache.contains(key)) {
          cache.touch(key);
          ++found;
        }
      }
      return (cpu_ms() - start) * 1e6 / kProbes;
    });
    const double base = median_of(runs, [&] {
      const double start = cpu_ms();
      for (const QString& key : keys) found += bare.count(key);
      return (cpu_ms() - start) * 1e6 / kProbes;
    });
    std::printf("                                 %7d  %7.0f  %8.0f  %5.2f\n", count, ours, base, ours / base);
  }
}

void cache_opening(int runs, int files) {
  QTemporaryDir root;
  const StoredTile tile{{true, QDateTime::currentDateTimeUtc(), "\"e\"", ""}, QByteArray(2000, 'x')};
  for (int i = 0; i < files; ++i)
    TileDiskCache::write(root.filePath(TileDiskCache::key("s", 16, 1000 + i / 200, 2000 + i % 200) + ".tile"), tile);
  const double ours = median_of(runs, [&] {
    const double start = cpu_ms();
    const TileDiskCache cache(root.path());
    return cache.tile_count() == std::size_t(files) ? cpu_ms() - start : -1;
  });
  const double base = median_of(runs, [&] {
    const double start = cpu_ms();
    int n = 0;
    for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next()) ++n;
    return n == files ? cpu_ms() - start : -1;
  });
  std::printf("cache opening (ms)   %7d files   index %7.1f  walk %7.1f  ratio %5.2f\n", files, ours, base,
              ours / base);
}

void paint(int runs) {
  std::printf("paint (ms per frame)     size     scale   paint  baseline  ratio\n");
  for (const QSize size : {QSize(715, 539), QSize(1920, 1080)}) {
    for (const double scale : {1.0, 0.8}) {
      MapLayer layer(std::make_unique<MemorySource>());
      QImage frame(size, QImage::Format_RGB32);
      const QImage whole(size, QImage::Format_RGB32);
      MapView view{{48.85, 2.29}, {14, scale}, size.width(), size.height()};
      {
        QPainter warm(&frame);
        layer.paint(warm, view);  // the source answers: every tile in memory from now on
      }
      constexpr int kFrames = 50;
      const double ours = median_of(runs, [&] {
        const double start = cpu_ms();
        for (int f = 0; f < kFrames; ++f) {
          view.centre = view.to_lat_lon({size.width() / 2.0 + 7, size.height() / 2.0 + (f % 2 == 0 ? 3 : -3)});
          QPainter painter(&frame);
          layer.paint(painter, view);
        }
        return (cpu_ms() - start) / kFrames;
      });
      const double base = median_of(runs, [&] {
        const double start = cpu_ms();
        for (int f = 0; f < kFrames; ++f) {
          QPainter painter(&frame);
          painter.drawImage(0, 0, whole);
        }
        return (cpu_ms() - start) / kFrames;
      });
      std::printf("                   %4dx%-4d   %5.2f   %5.2f  %8.2f  %5.1f\n", size.width(), size.height(), scale,
                  ours, base, ours / base);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  int runs = 5;
  int files = 25000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--files") == 0) files = std::atoi(argv[i + 1]);
  }
  cache_lookup(runs);
  cache_opening(runs, files);
  paint(runs);
  return 0;
}
