#include "serial/posix/modem_watcher.h"

#include <cerrno>
#include <chrono>
#include <pthread.h>
#include <signal.h>

namespace serial {
namespace {

// A real-time signal nothing else in the program uses.
int wake_signal() { return SIGRTMIN + 1; }

void ignore_signal(int) {}

void install_wake_handler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = ignore_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the blocking call must return EINTR
    sigaction(wake_signal(), &action, nullptr);
  });
}

}  // namespace

ModemWatcher::ModemWatcher(std::function<int()> wait_for_change, std::function<void()> on_change)
    : wait_for_change_(std::move(wait_for_change)), on_change_(std::move(on_change)) {
  install_wake_handler();
  thread_ = std::thread([this] { run(); });
}

ModemWatcher::~ModemWatcher() {
  std::unique_lock lock(mutex_);
  stopping_ = true;
  // The signal may land just before the helper enters its blocking call and
  // be lost; sending it again until the helper has left closes that gap.
  while (!finished_) {
    pthread_kill(thread_.native_handle(), wake_signal());
    finished_changed_.wait_for(lock, std::chrono::milliseconds(10));
  }
  lock.unlock();
  thread_.join();
}

void ModemWatcher::run() {
  sigset_t wake;
  sigemptyset(&wake);
  sigaddset(&wake, wake_signal());
  pthread_sigmask(SIG_UNBLOCK, &wake, nullptr);
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
    }
    int result = wait_for_change_();
    if (result == 0) {
      on_change_();
    } else if (result != EINTR) {
      break;
    }
  }
  std::lock_guard lock(mutex_);
  finished_ = true;
  finished_changed_.notify_all();
}

}  // namespace serial
