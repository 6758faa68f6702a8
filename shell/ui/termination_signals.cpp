#include "shell/ui/termination_signals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace shell {
namespace {

// The pipe's writing end as the signal handler sees it: a plain int, since
// the handler may only call async-signal-safe functions.
volatile sig_atomic_t signal_pipe = -1;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void on_signal(int signo) {
  const int saved = errno;
  const char byte = static_cast<char>(signo);
  (void)!::write(signal_pipe, &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> callback) : on_signal_(std::move(callback)) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_end_.reset(ends[0]);
  write_end_.reset(ends[1]);
  signal_pipe = write_end_.get();
  notifier_ = new QSocketNotifier(read_end_.get(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(read_end_.get(), bytes, sizeof bytes) > 0) {
    }
    on_signal_();
  });
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signo : kSignals) sigaction(signo, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  for (int signo : kSignals) std::signal(signo, SIG_DFL);
  signal_pipe = -1;
  // The notifier watches the reading end: it goes before the pipe closes.
  delete notifier_;
}

}  // namespace shell
