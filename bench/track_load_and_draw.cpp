// How long the viewer takes to load a large journal and to redraw it, each
// next to a baseline measured in the same run.
//
//   track_load_and_draw [FILE] [--runs N]     (default: a fresh 1,000,000-line
//                                              journal, 5 runs)
//
// Without FILE a journal of 1,000,000 records is written by journal_generator
// into a temporary folder. Each figure is the median of N runs.
//   load      the viewer's reader: block reads, 119-byte read rule, scanning,
//             distances, compact storage;
//   baseline  the least any line reader pays: the same file read in 1 MiB
//             blocks and its LFs counted with memchr.
//   redraw    Tracer_parcours into the 715 x 539 bitmap, the whole track in
//             view ("whole") and at 1000 % on the newest point ("zoomed"),
//             with the step 1 of a full redraw and the step of a quick one;
//   baseline  the same polyline handed to QPainter segment by segment without
//             looking first whether a segment can reach the drawing (QPainter
//             clips it), the way a drawing loop without the skip would.
// The full plan (fill, track, grid and labels) is timed too.
#include "viewer/journal_file.h"
#include "viewer/journal_loader.h"
#include "viewer/plan_drawing.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median_ms(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

uint64_t count_lines(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  std::vector<char> block(std::size_t{1} << 20);
  uint64_t lines = 0;
  for (;;) {
    const ssize_t got = ::read(fd, block.data(), block.size());
    if (got <= 0) break;
    const char* p = block.data();
    const char* end = p + got;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr) {
      ++lines;
      ++p;
    }
  }
  ::close(fd);
  return lines;
}

viewer::LoadOutcome load(const std::string& path, viewer::TrackPoints& points) {
  const std::shared_ptr<viewer::JournalFile> file = viewer::JournalFile::open(path);
  if (!file) return {viewer::LoadOutcome::Kind::CannotOpen, 0};
  uint64_t last = 0;
  return viewer::read_journal(file, points, [&last](uint64_t offset) { last = offset; });
}

// Every segment drawn, in order, with its pen, leaving the clipping to QPainter.
void draw_without_skip(QPainter& painter, const viewer::PlanScale& scale, const viewer::TrackPoints& points,
                       std::size_t pas) {
  const QPen pens[2] = {QPen(QColor(255, 0, 0), 0), QPen(QColor(0, 0, 255), 0)};
  QPointF pen;
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const viewer::PointPosition& p = points.position(i);
    const viewer::PixelPosition pixel = viewer::Vers_pixel(scale, p.lat_seconds, p.lon_seconds);
    const QPointF to(pixel.x, pixel.y);
    if (i > 0) {
      painter.setPen(pens[step % 2]);
      painter.drawLine(QLineF(pen, to));
    }
    pen = to;
  }
}

// The zoom item and centre that show the whole track, as a user would pick.
viewer::PlanScale whole_track_scale(const viewer::TrackPoints& points) {
  int32_t lat_min = INT32_MAX, lat_max = INT32_MIN, lon_min = INT32_MAX, lon_max = INT32_MIN;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const viewer::PointPosition& p = points.position(i);
    lat_min = std::min(lat_min, p.lat_seconds);
    lat_max = std::max(lat_max, p.lat_seconds);
    lon_min = std::min(lon_min, p.lon_seconds);
    lon_max = std::max(lon_max, p.lon_seconds);
  }
  const viewer::PointPosition& last = points.position(points.size() - 1);
  viewer::PlanScale scale;
  for (int zoom = viewer::kZoomCount - 1; zoom >= 0; --zoom) {
    viewer::Calcul_echelle(scale, zoom, last.lat_degres(), last.lat_minutes());
    scale.Centre_lat = lat_min / 2 + lat_max / 2;
    scale.Centre_lon = lon_min / 2 + lon_max / 2;
    if (viewer::Vers_pixel(scale, lat_min, lon_min).visible && viewer::Vers_pixel(scale, lat_max, lon_max).visible) {
      std::printf("whole track in view at %s\n", viewer::kZoomItems[zoom]);
      return scale;
    }
  }
  return scale;
}

viewer::PlanScale zoomed_scale(const viewer::TrackPoints& points) {
  const viewer::PointPosition& last = points.position(points.size() - 1);
  viewer::PlanScale scale;
  viewer::Calcul_echelle(scale, viewer::kZoomCount - 1, last.lat_degres(), last.lat_minutes());
  scale.Centre_lat = last.lat_seconds;
  scale.Centre_lon = last.lon_seconds;
  return scale;
}

int coloured_pixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  std::string path;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else path = argv[i];
  }
  QTemporaryDir dir;
  if (path.empty()) {
    path = dir.filePath("journal.txt").toStdString();
    const std::string command = std::string(ORVANTA_JOURNAL_GENERATOR) + " '" + path + "' 1000000";
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "journal_generator failed\n");
      return 1;
    }
  }

  uint64_t lines = 0;
  const double baseline_load = median_ms(runs, [&] { lines = count_lines(path); });
  viewer::TrackPoints points;
  viewer::LoadOutcome outcome;
  const double viewer_load = median_ms(runs, [&] { outcome = load(path, points); });
  if (outcome.kind != viewer::LoadOutcome::Kind::Loaded) {
    std::fprintf(stderr, "the journal did not load (line %lld)\n", static_cast<long long>(outcome.lines));
    return 1;
  }
  std::printf("%s: %llu lines, %zu points\n", path.c_str(), static_cast<unsigned long long>(lines), points.size());
  std::printf("%-34s %9.1f ms\n", "load: memchr line count (baseline)", baseline_load);
  std::printf("%-34s %9.1f ms   %5.1fx baseline\n", "load: viewer reader", viewer_load, viewer_load / baseline_load);

  QImage image = viewer::new_plan_bitmap();
  const std::size_t quick = points.size() / 750 + 1;
  struct View {
    const char* name;
    viewer::PlanScale scale;
  };
  const View views[] = {{"whole", whole_track_scale(points)}, {"zoomed", zoomed_scale(points)}};
  for (const View& view : views) {
    for (std::size_t pas : {std::size_t{1}, quick}) {
      auto run = [&](bool skip) {
        image.fill(Qt::white);
        QPainter painter(&image);
        if (skip) viewer::Tracer_parcours(painter, view.scale, points, pas);
        else draw_without_skip(painter, view.scale, points, pas);
      };
      const double without = median_ms(runs, [&] { run(false); });
      const double with = median_ms(runs, [&] { run(true); });
      const int drawn = coloured_pixels(image);
      char label[64];
      std::snprintf(label, sizeof label, "redraw %s, step %zu", view.name, pas);
      std::printf("%-34s %9.2f ms   without skip %9.2f ms   %5.2fx   (%d pixels drawn)\n", label, with, without,
                  with / without, drawn);
    }
  }
  const double plan = median_ms(runs, [&] { viewer::draw_plan(image, views[0].scale, points, 1); });
  std::printf("%-34s %9.2f ms\n", "full plan, whole track (with grid)", plan);
  return 0;
}
