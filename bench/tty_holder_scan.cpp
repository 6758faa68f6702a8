// What the look for other holders of a tty costs before a port opens, with
// many processes on the machine, next to the least any such look costs:
// listing each process's descriptors without looking at them.
//
//   tty_holder_scan [EXTRA_PROCESSES]   (default 2000, forked here and ended at the end)
#include "serial/posix/tty_holders.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The floor: every /proc/PID/fd folder read, no link followed.
int list_descriptors() {
  int entries = 0;
  DIR* processes = ::opendir("/proc");
  while (const dirent* process = ::readdir(processes)) {
    if (process->d_name[0] < '0' || process->d_name[0] > '9') continue;
    DIR* fds = ::opendir(("/proc/" + std::string(process->d_name) + "/fd").c_str());
    if (!fds) continue;
    while (::readdir(fds)) ++entries;
    ::closedir(fds);
  }
  ::closedir(processes);
  return entries;
}

template <class Scan>
double milliseconds_per(Scan scan) {
  constexpr int kRuns = 20;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) scan();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / kRuns;
}

}  // namespace

int main(int argc, char** argv) {
  const int extra = argc > 1 ? std::atoi(argv[1]) : 2000;
  std::vector<pid_t> children;
  for (int i = 0; i < extra; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::pause();
      ::_exit(0);
    }
    if (child > 0) children.push_back(child);
  }
  int master = -1, slave = -1;
  char name[64];
  struct stat tty {};
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0 || ::stat(name, &tty) != 0) return 1;
  int processes = 0;
  DIR* proc = ::opendir("/proc");
  while (const dirent* entry = ::readdir(proc)) processes += entry->d_name[0] >= '1' && entry->d_name[0] <= '9';
  ::closedir(proc);

  const double floor = milliseconds_per(list_descriptors);
  // Nobody else holds the new pty: every process is looked through.
  const double scan = milliseconds_per([&] { serial::held_by_another_process(tty.st_rdev); });
  std::printf("%d processes: holder scan %.1f ms, listing only %.1f ms (%.2fx)\n", processes, scan, floor,
              scan / floor);

  for (const pid_t child : children) ::kill(child, SIGKILL);
  for (const pid_t child : children) ::waitpid(child, nullptr, 0);
  return 0;
}
