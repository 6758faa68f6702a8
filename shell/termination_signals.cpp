#include "shell/termination_signals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace shell {
namespace {

int pipe_fds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void on_signal(int signo) {
  const int saved = errno;
  const char byte = static_cast<char>(signo);
  (void)!::write(pipe_fds[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> callback) : on_signal_(std::move(callback)) {
  if (::pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(pipe_fds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char bytes[16];
    while (::read(pipe_fds[0], bytes, sizeof bytes) > 0) {
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
  delete notifier_;
  for (int& fd : pipe_fds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace shell
