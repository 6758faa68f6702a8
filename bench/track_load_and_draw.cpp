// How long the viewer takes to load large journals and to redraw them, how
// much memory a loaded track holds, and whether the track drawn into the
// bitmap is the one QPainter draws; each time next to a baseline measured in
// the same run.
//
//   track_load_and_draw [--lines N]... [--runs N] [--dir DIR] [FILE]...
//
// Without FILE, journal_generator writes a journal of each --lines size
// (default 100,000, 1,000,000, 5,000,000 and 10,000,000) into DIR (default
// $TMPDIR or /tmp); each is measured, then deleted. Each time is the median of
// N runs (default 5; 5 N for loads of journals under 64 MB), the runs of a
// figure and of its baseline interleaved; times are CPU times of the
// measuring thread (kernel time included).
//   baseline       the least any line reader pays: the file read in 1 MiB
//                  blocks and its LFs counted with memchr (wc -l);
//   load           the viewer's reader into the track, headless;
//   window load    TTrace::Charger_fichier with the progress window shown;
//   peak memory    VmHWM less VmRSS before a headless load, in a fresh
//                  process, against the file's size;
//   redraw         Tracer_parcours, the whole track in view and at 1000 % on
//                  the newest point, full (step 1) and quick, against a naive
//                  in-order QPainter polyline (every segment handed to
//                  QPainter with its pen);
//   pixels differing  the track drawn by Tracer_parcours against the same
//                  track drawn segment by segment with QPainter under the
//                  same rules, at the whole-track view and at every zoom item
//                  centred on the newest point, full and quick.
#include "journal_bench.h"
#include "shell/ui/windows.h"
#include "track/journal_file.h"
#include "track/journal_loader.h"
#include "viewer/plan_drawing.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// CPU time of this thread, kernel time included: other programs sharing the
// machine's cores lengthen the wall time of a run, not this.
double cpu_ms() { return bench::cpu_ms(CLOCK_THREAD_CPUTIME_ID); }

// Medians of several pieces of work, run in turn `runs` times so that a
// change in the machine's load falls on all of them alike; `before`, untimed,
// precedes each.
std::vector<double> interleaved_medians(int runs, const std::vector<std::function<void()>>& works,
                                        const std::function<void()>& before = {}) {
  std::vector<std::vector<double>> times(works.size());
  for (int r = 0; r < runs; ++r) {
    for (std::size_t w = 0; w < works.size(); ++w) {
      if (before) before();
      const double start = cpu_ms();
      works[w]();
      times[w].push_back(cpu_ms() - start);
    }
  }
  std::vector<double> medians;
  medians.reserve(times.size());
  for (const auto& t : times) medians.push_back(bench::median(t));
  return medians;
}

track::LoadOutcome load(const std::string& path, track::TrackPoints& points) {
  const std::shared_ptr<track::JournalFile> file = track::JournalFile::open(path);
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  uint64_t last = 0;
  return track::read_journal(file, points, [&last](uint64_t offset) { last = offset; });
}

// In a process of its own (--peak): the growth of the resident set a load
// causes, in bytes.
int print_peak(const std::string& path) {
  const int64_t before = bench::status_kib("VmRSS:");
  track::TrackPoints points;
  if (load(path, points).kind != track::LoadOutcome::Kind::Loaded) return 1;
  std::printf("%lld\n", static_cast<long long>(bench::status_kib("VmHWM:") - before) * 1024);
  return 0;
}

int64_t peak_in_child(const std::string& path) {
  int out[2];
  if (::pipe(out) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::execl("/proc/self/exe", "track_load_and_draw", "--peak", path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(out[1]);
  char text[64] = {};
  const ssize_t got = ::read(out[0], text, sizeof text - 1);
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::atoll(text) : -1;
}

void draw_segment(QPainter& painter, const QPen& pen, const viewer::PixelPosition& from,
                  const viewer::PixelPosition& to) {
  painter.setPen(pen);
  painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

// The baseline: every segment handed to QPainter in order with its pen,
// leaving the clipping to QPainter.
void naive_polyline(QImage& image, const viewer::PlanScale& scale, const track::TrackPoints& points, std::size_t pas) {
  QPainter painter(&image);
  const QPen pens[2] = {QPen(QColor(255, 0, 0), 0), QPen(QColor(0, 0, 255), 0)};
  viewer::PixelPosition pen{};
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const track::PointPosition& p = points.position(i);
    const viewer::PixelPosition pixel = viewer::Vers_pixel(scale, p.lat, p.lon);
    if (i > 0) draw_segment(painter, pens[step % 2], pen, pixel);
    pen = pixel;
  }
}

// The reference picture: the track's rules (colour per step, only segments
// ending on a visible point after an earlier one) drawn with QPainter.
void qpainter_track(QImage& image, const viewer::PlanScale& scale, const track::TrackPoints& points, std::size_t pas) {
  QPainter painter(&image);
  const QPen pens[2] = {QPen(QColor(255, 0, 0), 0), QPen(QColor(0, 0, 255), 0)};
  bool none_visible_yet = true;
  viewer::PixelPosition pen{};
  std::size_t step = 0;
  for (std::size_t i = 0; i < points.size(); i += pas, ++step) {
    const track::PointPosition& p = points.position(i);
    const viewer::PixelPosition pixel = viewer::Vers_pixel(scale, p.lat, p.lon);
    if (pixel.visible && !none_visible_yet) draw_segment(painter, pens[step % 2], pen, pixel);
    if (pixel.visible) none_visible_yet = false;
    pen = pixel;
  }
}

// The zoom item and centre that show the whole track, as a user would pick.
viewer::PlanScale whole_track_scale(const track::TrackPoints& points, const char** item) {
  int32_t lat_min = INT32_MAX, lat_max = INT32_MIN, lon_min = INT32_MAX, lon_max = INT32_MIN;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const track::PointPosition& p = points.position(i);
    lat_min = std::min(lat_min, p.lat);
    lat_max = std::max(lat_max, p.lat);
    lon_min = std::min(lon_min, p.lon);
    lon_max = std::max(lon_max, p.lon);
  }
  const track::PointPosition& last = points.position(points.size() - 1);
  viewer::PlanScale scale;
  for (int zoom = viewer::kZoomCount - 1; zoom >= 0; --zoom) {
    viewer::Calcul_echelle(scale, zoom, last.lat_degres(), last.lat_minutes());
    scale.Centre_lat = lat_min / 2 + lat_max / 2;
    scale.Centre_lon = lon_min / 2 + lon_max / 2;
    *item = viewer::kZoomItems[zoom];
    if (viewer::Vers_pixel(scale, lat_min, lon_min).visible && viewer::Vers_pixel(scale, lat_max, lon_max).visible) {
      break;
    }
  }
  return scale;
}

viewer::PlanScale newest_point_scale(const track::TrackPoints& points, int zoom) {
  const track::PointPosition& last = points.position(points.size() - 1);
  viewer::PlanScale scale;
  viewer::Calcul_echelle(scale, zoom, last.lat_degres(), last.lat_minutes());
  scale.Centre_lat = last.lat;
  scale.Centre_lon = last.lon;
  return scale;
}

int differing_pixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

int coloured_pixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != qRgb(255, 255, 255);
  return n;
}

void measure_drawing(const track::TrackPoints& points, int runs) {
  const char* whole_item = "";
  struct View {
    std::string name;
    viewer::PlanScale scale;
  };
  const View views[] = {{"whole", whole_track_scale(points, &whole_item)},
                        {"1000 %", newest_point_scale(points, viewer::kZoomCount - 1)}};
  std::printf("  whole track in view at %s\n", whole_item);
  const std::size_t quick = points.size() / 750 + 1;
  QImage ours = viewer::new_plan_bitmap();
  QImage theirs = viewer::new_plan_bitmap();
  for (const View& view : views) {
    for (std::size_t pas : {std::size_t{1}, quick}) {
      const std::vector<double> t = interleaved_medians(runs, {[&] {
                                                                 ours.fill(Qt::white);
                                                                 viewer::Tracer_parcours(ours, view.scale, points, pas);
                                                               },
                                                               [&] {
                                                                 theirs.fill(Qt::white);
                                                                 naive_polyline(theirs, view.scale, points, pas);
                                                               }});
      std::printf("  redraw %-7s step %-6zu %9.2f ms   naive QPainter %9.2f ms   %6.3fx   (%d pixels drawn)\n",
                  view.name.c_str(), pas, t[0], t[1], t[0] / t[1], coloured_pixels(ours));
    }
  }
  std::vector<View> compared(std::begin(views), std::begin(views) + 1);
  for (int zoom = 0; zoom < viewer::kZoomCount; ++zoom) {
    compared.push_back({viewer::kZoomItems[zoom], newest_point_scale(points, zoom)});
  }
  int differing = 0, drawn = 0, pictures = 0;
  for (const View& view : compared) {
    for (std::size_t pas : {std::size_t{1}, quick}) {
      ours.fill(Qt::white);
      viewer::Tracer_parcours(ours, view.scale, points, pas);
      theirs.fill(Qt::white);
      qpainter_track(theirs, view.scale, points, pas);
      const int d = differing_pixels(ours, theirs);
      if (d) std::printf("  pixels differing at %s, step %zu: %d\n", view.name.c_str(), pas, d);
      differing += d;
      drawn += coloured_pixels(theirs);
      ++pictures;
    }
  }
  std::printf("  pixels differing from QPainter: %d of %d drawn, over %d pictures\n", differing, drawn, pictures);
  const double plan = interleaved_medians(runs, {[&] { viewer::draw_plan(ours, views[0].scale, points, 1); }})[0];
  std::printf("  full plan with grid, whole track %9.2f ms\n", plan);
}

bool measure(const std::string& path, int runs) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  bench::count_lines(path);  // into the page cache
  uint64_t lines = 0;
  track::TrackPoints points;
  track::LoadOutcome outcome;
  int window_result = 0;
  // Both loads start without a track: memory the other one has just freed
  // would spare a load the page faults of its first use.
  auto release_tracks = [&] {
    points.clear();
    Trace->Liste_points.clear();
  };
  // A short journal loads in milliseconds, where the machine's other work
  // weighs most: it is loaded more often.
  const int load_runs = info.st_size < (64 << 20) ? 5 * runs : runs;
  const std::vector<double> t =
      interleaved_medians(load_runs,
                          {[&] { lines = bench::count_lines(path); }, [&] { outcome = load(path, points); },
                           [&] { window_result = Trace->Charger_fichier(QString::fromStdString(path)); }},
                          release_tracks);
  Trace->Liste_points.clear();
  if (outcome.kind == track::LoadOutcome::Kind::Loaded) load(path, points);
  if (outcome.kind != track::LoadOutcome::Kind::Loaded || window_result <= 0) {
    std::fprintf(stderr, "%s did not load (line %lld)\n", path.c_str(), static_cast<long long>(outcome.lines));
    return false;
  }
  const int64_t peak = peak_in_child(path);
  std::printf("%s: %llu lines, %zu points, %.1f MB\n", path.c_str(), static_cast<unsigned long long>(lines),
              points.size(), info.st_size / 1e6);
  std::printf("  load: wc -l baseline %8.1f ms   headless %8.1f ms  %5.2fx   window %8.1f ms  %5.2fx headless\n", t[0],
              t[1], t[1] / t[0], t[2], t[2] / t[1]);
  std::printf("  peak memory %8.1f MB  %5.3fx file size  (%.1f bytes a point)\n", peak / 1e6,
              static_cast<double>(peak) / info.st_size, static_cast<double>(peak) / points.size());
  measure_drawing(points, runs);
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak") == 0) return print_peak(argv[2]);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  bench::JournalRuns options;
  if (const auto status = bench::parse_journal_runs(
          argc, argv,
          "usage: track_load_and_draw [--lines N]... [--runs N] [--dir DIR] [FILE]...\n"
          "  --lines N  records of a generated journal (default 100000 1000000 5000000 10000000)\n"
          "  --runs N   runs per figure, the median shown (default 5)\n"
          "  --dir DIR  folder for the generated journals (default $TMPDIR or /tmp)\n"
          "  FILE       measure this journal instead\n",
          {100'000, 1'000'000, 5'000'000, 10'000'000}, options))
    return *status;

  // The viewer and its progress window, with message boxes reported here.
  TCalcul calcul;
  const shell::Settings settings;
  TTrace trace(settings, &calcul);
  Trace = &trace;
  trace.Message = [](QMessageBox::Icon, const QString& text) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  };

  std::printf("load average at start: %s\n", bench::load_average().c_str());
  bool measured = true;
  for (const std::string& file : options.files) measured = measure(file, options.runs) && measured;
  if (options.files.empty()) {
    for (unsigned long lines : options.sizes) {
      const std::string path = options.dir + "/track_load_and_draw." + std::to_string(::getpid()) + ".txt";
      if (!bench::generate_journal(path, lines)) {
        std::remove(path.c_str());
        return 1;
      }
      measured = measure(path, options.runs) && measured;
      std::remove(path.c_str());
    }
  }
  std::printf("load average at end: %s\n", bench::load_average().c_str());
  Trace = nullptr;
  return measured ? 0 : 1;
}
