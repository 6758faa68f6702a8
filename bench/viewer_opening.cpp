// What opening the track viewer costs as a user meets it: the program's own
// windows, the "&Trace" button clicked, until the progress window is gone
// and the viewer shows the track; next to wc -l on the same journal,
// measured in the same run.
//
//   viewer_opening [--lines N]... [--runs N] [--dir DIR] [FILE]...
//
// Without FILE, journal_generator writes a journal of each --lines size
// (default 1,000,000 and 5,000,000) into DIR (default $TMPDIR or /tmp),
// which should be a tmpfs; each is measured, then deleted. Each opening runs
// in a fresh process, as the first click after the program's start: the
// application object, the four windows created as at start-up, the main
// window shown and settled, then the click. Times are CPU times of the whole
// process (every thread: Qt's display connection included), medians of N
// runs (default 5), the runs of wc -l and of the opening interleaved. Run it
// under the display a user has (xvfb-run -a for X11); without one it uses
// Qt's offscreen platform.
//
// The phases of an opening, each from the end of the one before:
//   before load     the click to the progress window coming up: the viewer
//                   window's first showing;
//   load            while the progress window is up: reading the journal,
//                   with the progress bar and the window events every 30 ms;
//   draw            the progress window hidden to the click's handler done:
//                   the cursor placed and the plan drawn;
//   to gone         until the display has been told to take the progress
//                   window away (the event loop's next turn): the opening
//                   as the user sees it end;
//   settled         until the viewer's window has painted everything.
#include "acquisition/ui/affichage.h"
#include "journal_bench.h"
#include "serial/thread_pool_work.h"
#include "shell/ini_file.h"
#include "shell/settings.h"
#include "shell/ui/orvanta_application.h"
#include "shell/ui/windows.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"

#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Machine services that do nothing: the opening must not depend on, nor
// touch, the machine's ports, clock or sound.
class NoDevices : public serial::SerialDeviceOpener, public serial::PortLister {
 public:
  std::unique_ptr<serial::SerialDevice> open(const std::string&, int& error) override {
    error = ENOENT;
    return nullptr;
  }
  int list(std::vector<std::string>& names) override {
    names.clear();
    return 0;
  }
  std::string device_of(const std::string& port) override { return port; }
};
class FullBattery : public platform::PowerSource {
 public:
  std::optional<uint8_t> battery_percent() override { return 100; }
};
class StillClock : public platform::SystemClock {
 public:
  platform::SystemTime now_utc() override { return {2026, 6, 0, 14, 12, 0, 0, 0}; }
  bool set_utc(const platform::SystemTime&) override { return false; }
  std::chrono::steady_clock::time_point monotonic_now() override { return std::chrono::steady_clock::now(); }
};
class NoTimeService : public platform::TimeSampleSink {
 public:
  bool send(const std::string&, const platform::TimeSample&) override { return false; }
};
class UnknownSync : public platform::ClockSyncSource {
 public:
  std::optional<platform::ClockSync> read() override { return std::nullopt; }
};
class Silence : public platform::AlarmSound {
 public:
  void alert() override {}
  void tone(int, int) override {}
};

// CPU time of the process when the progress window comes up and goes.
class ProgressWatch : public QObject {
 public:
  double shown = 0;
  double hidden = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) shown = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
    if (event->type() == QEvent::Hide) hidden = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
    return QObject::eventFilter(watched, event);
  }
};

void run_events_for(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// In a process of its own (--open): one opening, its phases printed in ms,
// then the growth of the resident set in bytes and the points shown.
int open_viewer(const std::string& journal, const std::string& folder) {
  shell::Settings settings = shell::default_settings(folder);
  settings.log_path_1 = journal;
  settings.auto_connect = false;
  settings.record = false;
  settings.set_clock = false;
  shell::IniFile ini;
  shell::store_settings(settings, ini);
  const std::string settings_path = folder + "/orvanta.INI";
  if (!ini.save(settings_path)) return 1;

  int argc = 1;
  char name[] = "orvanta";
  char* argv[] = {name, nullptr};
  shell::OrvantaApplication app(argc, argv);
  NoDevices devices;
  FullBattery power;
  StillClock clock;
  NoTimeService time_service;
  Silence sound;
  UnknownSync clock_sync;
  serial::ThreadPoolWork background;
  shell::PlatformServices platform{devices,      background, devices, power,        clock,
                                   time_service, clock_sync, sound,   settings_path};
  shell::Windows windows(platform);
  Trace->Message = [](QMessageBox::Icon, const QString& text) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  };
  Affichage->show();
  run_events_for(500);
  ProgressWatch watch;
  Calcul->installEventFilter(&watch);

  const int64_t rss = bench::status_kib("VmRSS:");
  const double start = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
  Affichage->Bt_trace->click();
  const double handled = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
  QCoreApplication::processEvents();
  const double gone = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
  const int64_t peak = bench::status_kib("VmHWM:") - rss;
  run_events_for(300);
  const double settled = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
  if (!Calcul->isHidden() || Trace->Liste_points.empty() || watch.hidden == 0) return 1;
  std::printf("%f %f %f %f %f %lld %zu\n", watch.shown - start, watch.hidden - watch.shown, handled - watch.hidden,
              gone - handled, settled - gone, static_cast<long long>(peak) * 1024, Trace->Liste_points.size());
  return 0;
}

struct Opening {
  double phases[5];
  long long peak;
  std::size_t points;
};

bool open_in_child(const std::string& journal, const std::string& folder, Opening& out) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipe_ends[1], STDOUT_FILENO);
    ::execl("/proc/self/exe", "viewer_opening", "--open", journal.c_str(), folder.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(pipe_ends[1]);
  char text[256] = {};
  std::size_t got = 0;
  for (ssize_t n; (n = ::read(pipe_ends[0], text + got, sizeof text - 1 - got)) > 0;) got += n;
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  return std::sscanf(text, "%lf %lf %lf %lf %lf %lld %zu", &out.phases[0], &out.phases[1], &out.phases[2],
                     &out.phases[3], &out.phases[4], &out.peak, &out.points) == 7;
}

bool measure(const std::string& path, const std::string& folder, int runs) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  bench::count_lines(path);  // into the page cache
  std::vector<double> wc;
  std::vector<std::vector<double>> phases(5);
  std::vector<double> to_gone, peaks;
  uint64_t lines = 0;
  std::size_t points = 0;
  for (int r = 0; r < runs; ++r) {
    const double start = bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID);
    lines = bench::count_lines(path);
    wc.push_back(bench::cpu_ms(CLOCK_PROCESS_CPUTIME_ID) - start);
    Opening opening{};
    if (!open_in_child(path, folder, opening)) {
      std::fprintf(stderr, "%s: the viewer did not open it\n", path.c_str());
      return false;
    }
    for (int p = 0; p < 5; ++p) phases[p].push_back(opening.phases[p]);
    to_gone.push_back(opening.phases[0] + opening.phases[1] + opening.phases[2] + opening.phases[3]);
    peaks.push_back(static_cast<double>(opening.peak));
    points = opening.points;
  }
  const double baseline = bench::median(wc);
  std::printf("%s: %llu lines, %zu points, %.1f MB\n", path.c_str(), static_cast<unsigned long long>(lines), points,
              static_cast<double>(info.st_size) / 1e6);
  std::printf("  wc -l %8.1f ms   opening to the progress window gone %8.1f ms  %5.2fx wc -l\n", baseline,
              bench::median(to_gone), bench::median(to_gone) / baseline);
  const char* names[] = {"before load", "load", "draw", "to gone", "settled"};
  for (int p = 0; p < 5; ++p) {
    std::printf("    %-12s %8.1f ms  %5.2fx wc -l\n", names[p], bench::median(phases[p]),
                bench::median(phases[p]) / baseline);
  }
  std::printf("  peak memory of the opening %8.1f MB  %5.3fx file size\n", bench::median(peaks) / 1e6,
              bench::median(peaks) / static_cast<double>(info.st_size));
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--open") == 0) return open_viewer(argv[2], argv[3]);
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  bench::JournalRuns options;
  if (const auto status = bench::parse_journal_runs(
          argc, argv,
          "usage: viewer_opening [--lines N]... [--runs N] [--dir DIR] [FILE]...\n"
          "  --lines N  records of a generated journal (default 1000000 5000000)\n"
          "  --runs N   openings per journal, the median shown (default 5)\n"
          "  --dir DIR  folder for the generated journals and the settings (default $TMPDIR or /tmp)\n"
          "  FILE       measure this journal instead\n",
          {1'000'000, 5'000'000}, options))
    return *status;
  const std::string folder = options.dir + "/viewer_opening." + std::to_string(::getpid());
  if (::mkdir(folder.c_str(), 0700) != 0) {
    std::perror(folder.c_str());
    return 1;
  }

  std::printf("load average at start: %s\n", bench::load_average().c_str());
  bool measured = true;
  for (const std::string& file : options.files) measured = measure(file, folder, options.runs) && measured;
  if (options.files.empty()) {
    for (unsigned long lines : options.sizes) {
      const std::string path = folder + "/journal.txt";
      if (!bench::generate_journal(path, lines)) {
        measured = false;
        break;
      }
      measured = measure(path, folder, options.runs) && measured;
      std::remove(path.c_str());
    }
  }
  std::remove((folder + "/orvanta.INI").c_str());
  ::rmdir(folder.c_str());
  std::printf("load average at end: %s\n", bench::load_average().c_str());
  return measured ? 0 : 1;
}
