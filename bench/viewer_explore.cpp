// What a wheel step and a drag frame cost on a large track, as the viewer
// handles them (the event in, the quick redraw and the cursor out), against
// a full redraw of the same view measured in the same run: the frame a user
// waits for after a pause, and all the seed's pan buttons ever drew.
//
//   viewer_explore [--lines N]... [--runs N] [--dir DIR] [FILE]...
//
// Without FILE, journal_generator writes a journal of each --lines size
// (default 1,000,000) into DIR (default $TMPDIR or /tmp). Each figure is the
// median CPU time of the UI thread over --runs events (default 21).
#include "journal_bench.h"
#include "shell/settings.h"
#include "viewer/plan_drawing.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/tracer_gps.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
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

bool measure(const std::string& path, int runs) {
  const shell::Settings settings;
  TTrace viewer(settings);
  viewer.Message = [](QMessageBox::Icon, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
  viewer.open_on_first_show(QString::fromStdString(path));
  viewer.show();
  if (viewer.Liste_points.empty()) return false;
  TPlanImage* image = viewer.Image;
  const QPoint middle(viewer.Plan.width / 2, viewer.Plan.height / 2);
  // One step in and back out, in turn, so that every run draws the same two
  // views.
  const double wheel = median_of(runs, [&](int r) {
    QWheelEvent event(middle, image->mapToGlobal(middle), {}, {0, r % 2 ? -120 : 120}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &event);
  });
  send_mouse(image, QEvent::MouseButtonPress, middle, Qt::LeftButton);
  const double drag = median_of(
      runs, [&](int r) { send_mouse(image, QEvent::MouseMove, middle + QPoint(r % 2 ? 0 : 40, 10), Qt::LeftButton); });
  send_mouse(image, QEvent::MouseButtonRelease, middle, Qt::NoButton);
  QImage bitmap = viewer::new_plan_bitmap(QSize(viewer.Plan.width, viewer.Plan.height));
  const double full = median_of(runs, [&](int) { viewer::draw_plan(bitmap, viewer.Plan, viewer.Liste_points, 1); });
  std::printf("%s: %zu points, the whole track in view\n", path.c_str(), viewer.Liste_points.size());
  std::printf("  full redraw   %8.2f ms CPU (baseline)\n", full);
  std::printf("  wheel step    %8.2f ms CPU  %6.3fx full redraw\n", wheel, wheel / full);
  std::printf("  drag frame    %8.2f ms CPU  %6.3fx full redraw\n", drag, drag / full);
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
