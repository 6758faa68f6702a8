// What the journal benchmarks share: their command line, the journals they
// generate, the wc -l baseline they measure against, medians and the
// machine's load.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace bench {

inline double cpu_ms(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The least any line reader pays (wc -l): the file read in 1 MiB blocks and
// its LFs counted with memchr.
inline uint64_t count_lines(const std::string& path) {
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

// A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:"); -1 when absent.
inline int64_t status_kib(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atoll(line.c_str() + std::strlen(field));
  }
  return -1;
}

inline std::string load_average() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// [--lines N]... [--runs N] [--dir DIR] [FILE]...
struct JournalRuns {
  std::vector<std::string> files;    // journals to measure as they are
  std::vector<unsigned long> sizes;  // otherwise, records of each journal to generate
  int runs = 5;
  std::string dir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
};

// Nothing to go on with; the exit status after --help (`usage` on stdout) or
// any other option (`usage` on stderr): an option is never taken for a
// journal's name.
inline std::optional<int> parse_journal_runs(int argc, char** argv, const char* usage,
                                             std::vector<unsigned long> default_sizes, JournalRuns& out) {
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--runs") == 0 && has_value) {
      out.runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--lines") == 0 && has_value) {
      out.sizes.push_back(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(argv[i], "--dir") == 0 && has_value) {
      out.dir = argv[++i];
    } else if (argv[i][0] != '-') {
      out.files.emplace_back(argv[i]);
    } else {
      const bool help = std::strcmp(argv[i], "--help") == 0;
      std::fputs(usage, help ? stdout : stderr);
      return help ? 0 : 2;
    }
  }
  if (out.sizes.empty()) out.sizes = std::move(default_sizes);
  return std::nullopt;
}

// A journal of `lines` made-up records, written by the project's generator.
inline bool generate_journal(const std::string& path, unsigned long lines) {
  const std::string command = std::string(ORVANTA_JOURNAL_GENERATOR) + " '" + path + "' " + std::to_string(lines);
  if (std::system(command.c_str()) == 0) return true;
  std::fprintf(stderr, "orvanta-journal-generator failed\n");
  return false;
}

}  // namespace bench
