// What a wheel step, a drag frame and the full redraw after a pause cost on a
// large track, as the viewer handles them (the event in, the redraw and the
// cursor out), on the plain plan and then on a map whose tiles are all
// decoded in memory (an MBTiles file written beside the journal, its tiles
// painted once before the measure): the plain plan is the baseline of the
// same run. The full redraw is the frame a user waits for after a pause, and
// all the seed's pan buttons ever drew.
//
//   viewer_explore [--lines N]... [--runs N] [--dir DIR] [FILE]...
//
// Without FILE, journal_generator writes a journal of each --lines size
// (default 1,000,000) into DIR (default $TMPDIR or /tmp). Each figure is the
// median CPU time of the UI thread over --runs events (default 21).
#include "journal_bench.h"
#include "shell/settings.h"
#include "viewer/map/web_mercator.h"
#include "viewer/ui/map_under_track.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/tracer_gps.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

double cpu_ms() { return bench::cpu_ms(CLOCK_THREAD_CPUTIME_ID); }

template <typename Work>
double median_of(int runs, const Work& work) {
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const double start = cpu_ms();
    work(r);
    times.push_back(cpu_ms() - start);
  }
  return bench::median(times);
}

void send_mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, {});
  QApplication::sendEvent(w, &event);
}

// Every tile over the track and three around it at each zoom that needs no
// more than kMostTiles of them (deeper zooms scale the last one), all one
// checkered PNG.
void write_mbtiles(const QString& path, const track::TrackPoints& points) {
  constexpr int64_t kMostTiles = 4000;
  double south = 90, north = -90, west = 1e9, east = -1e9;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double lat = static_cast<double>(points.position(i).lat) / track::kUnitsPerDegree;
    const double lon = static_cast<double>(points.position(i).lon) / track::kUnitsPerDegree;
    south = std::min(south, lat), north = std::max(north, lat), west = std::min(west, lon), east = std::max(east, lon);
  }
  QImage tile(viewer::map::kTileSize, viewer::map::kTileSize, QImage::Format_RGB32);
  for (int y = 0; y < tile.height(); ++y)
    for (int x = 0; x < tile.width(); ++x) tile.setPixel(x, y, (x / 32 + y / 32) % 2 ? 0xffb8d8a8 : 0xffd8e8c8);
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  tile.save(&png, "PNG");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-writer");
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery q(db);
    q.exec("CREATE TABLE metadata (name TEXT, value TEXT)");
    q.exec("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)");
    q.prepare("INSERT INTO tiles VALUES (?, ?, ?, ?)");
    int zoom = 0;
    for (; zoom <= viewer::map::kDeepestZoom; ++zoom) {
      const auto north_west = viewer::map::world_pixel({north, west}, zoom);
      const auto south_east = viewer::map::world_pixel({south, east}, zoom);
      const int x0 = static_cast<int>(north_west.x) / viewer::map::kTileSize - 3;
      const int x1 = static_cast<int>(south_east.x) / viewer::map::kTileSize + 3;
      const int y0 = std::max(0, static_cast<int>(north_west.y) / viewer::map::kTileSize - 3);
      const int y1 = std::min((1 << zoom) - 1, static_cast<int>(south_east.y) / viewer::map::kTileSize + 3);
      if (int64_t{x1 - x0 + 1} * (y1 - y0 + 1) > kMostTiles) break;
      for (int x = x0; x <= x1; ++x) {
        for (int y = y0; y <= y1; ++y) {
          for (const QVariant& v : {QVariant(zoom), QVariant(viewer::map::wrapped_column(x, zoom)),
                                    QVariant(viewer::map::tms_row(y, zoom)), QVariant(png.data())})
            q.addBindValue(v);
          q.exec();
        }
      }
    }
    q.exec(QString("INSERT INTO metadata VALUES ('minzoom', '0'), ('maxzoom', '%1')").arg(zoom - 1));
    db.commit();
  }
  QSqlDatabase::removeDatabase("bench-writer");
}

// Serves the viewer's events (tiles decoded, redraws) until none has come
// for a while.
void settle() {
  QElapsedTimer quiet;
  quiet.start();
  while (quiet.elapsed() < 300) {
    if (QCoreApplication::instance()->eventDispatcher()->processEvents(QEventLoop::AllEvents)) quiet.restart();
  }
}

struct Frames {
  double full;
  double wheel;
  double drag;
};

// One step in and back out, in turn, and a drag to and fro, so that every
// run draws the same views; with `warm_up` each event is followed by the
// work it brings about (tiles coming), not measured.
Frames measure_frames(TTrace& viewer, int runs, bool warm_up) {
  TPlanImage* image = viewer.Image;
  const QPoint middle(viewer.Plan.width / 2, viewer.Plan.height / 2);
  auto then = [warm_up] {
    if (warm_up) settle();
  };
  Frames f{};
  f.wheel = median_of(runs, [&](int r) {
    QWheelEvent event(middle, image->mapToGlobal(middle), {}, {0, r % 2 ? -120 : 120}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &event);
    then();
  });
  send_mouse(image, QEvent::MouseButtonPress, middle, Qt::LeftButton);
  f.drag = median_of(runs, [&](int r) {
    send_mouse(image, QEvent::MouseMove, middle + QPoint(r % 2 ? 0 : 40, 10), Qt::LeftButton);
    then();
  });
  send_mouse(image, QEvent::MouseButtonRelease, middle, Qt::NoButton);
  f.full = median_of(runs, [&](int) {
    viewer.Trace_preciTimer();
    then();
  });
  return f;
}

bool measure(const std::string& path, int runs) {
  const shell::Settings settings;
  TTrace viewer(settings);
  viewer.Message = [](QMessageBox::Icon, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
  viewer.open_on_first_show(QString::fromStdString(path));
  viewer.show();
  if (viewer.Liste_points.empty()) return false;
  const Frames plain = measure_frames(viewer, runs, false);
  const QString tiles = QString::fromStdString(path + ".mbtiles");
  write_mbtiles(tiles, viewer.Liste_points);
  // Choosing the map draws its first frame, which works out the track's
  // northings.
  const double start = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
  viewer.use_map({viewer::map::MapSource::Kind::MbTiles, {}, tiles, {}});
  const double first = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID) - start;
  if (!viewer.map() || !viewer.map()->ready()) return false;
  measure_frames(viewer, 2, true);
  const Frames map = measure_frames(viewer, runs, false);
  QFile::remove(tiles);
  std::printf("%s: %zu points, the whole track in view\n", path.c_str(), viewer.Liste_points.size());
  std::printf("                plain plan (baseline)   on a map   ratio\n");
  auto row = [](const char* name, double base, double on_map) {
    std::printf("  %-12s  %10.2f ms CPU  %8.2f ms  %6.2fx\n", name, base, on_map, on_map / base);
  };
  row("full redraw", plain.full, map.full);
  row("wheel step", plain.wheel, map.wheel);
  row("drag frame", plain.drag, map.drag);
  row("map chosen", plain.full, first);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  bench::JournalRuns options;
  options.runs = 21;
  if (const auto status =
          bench::parse_journal_runs(argc, argv,
                                    "usage: viewer_explore [--lines N]... [--runs N] [--dir DIR] [FILE]...\n"
                                    "  --lines N  records of a generated journal (default 1000000)\n"
                                    "  --runs N   events of each kind, the median shown (default 21)\n"
                                    "  --dir DIR  folder for the generated journals (default $TMPDIR or /tmp)\n"
                                    "  FILE       measure this track instead\n",
                                    {1'000'000}, options))
    return *status;
  QApplication app(argc, argv);
  std::printf("load average at start: %s\n", bench::load_average().c_str());
  bool measured = true;
  for (const std::string& file : options.files) measured = measure(file, options.runs) && measured;
  if (options.files.empty()) {
    for (unsigned long lines : options.sizes) {
      const std::string path = options.dir + "/viewer_explore." + std::to_string(::getpid()) + ".txt";
      if (!bench::generate_journal(path, lines)) return 1;
      measured = measure(path, options.runs) && measured;
      std::remove(path.c_str());
    }
  }
  std::printf("load average at end: %s\n", bench::load_average().c_str());
  return measured ? 0 : 1;
}
