#include "serial/gui_handover.h"

#include "serial/application_exceptions.h"

#include <QSocketNotifier>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace serial {

namespace {

common::UniqueFd MakeWakePipe(common::UniqueFd& write_end) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  write_end.reset(fds[1]);
  return common::UniqueFd(fds[0]);
}

}  // namespace

void GuiHandover::State::ReleaseToWorker(std::unique_lock<std::mutex>& lock) {
  const bool wake = !worker_sleeps_until_time;
  lock.unlock();
  if (wake) worker_changed.notify_all();
}

GuiHandover::GuiHandover() : state_(std::make_shared<State>()) {
  wake_read_ = MakeWakePipe(wake_write_);
  wake_notifier_ = std::make_unique<QSocketNotifier>(wake_read_.get(), QSocketNotifier::Read);
  // Serving may destroy the handover, notifier and pipe included (a sent step
  // that closes the port): the pipe is read first, and the state is kept.
  // One read takes every wake-up but in a flood; what it leaves wakes the
  // loop again, to serve nothing.
  QObject::connect(wake_notifier_.get(), &QSocketNotifier::activated, [state = state_, fd = wake_read_.get()] {
    char wakes[64];
    [[maybe_unused]] const ssize_t got = ::read(fd, wakes, sizeof wakes);
    Serve(state);
  });
}

GuiHandover::~GuiHandover() = default;

void GuiHandover::Submit(Request& request, Clock::time_point resume_at) {
  State& s = *state_;
  {
    std::lock_guard lock(s.mutex);
    s.pending.push_back(&request);
  }
  s.gui_changed.notify_all();
  const char wake = 1;
  // A full pipe has a wake-up on its way already.
  [[maybe_unused]] const ssize_t written = ::write(wake_write_.get(), &wake, 1);
  // When the GUI thread woke on this processor, let it run the call now:
  // this thread then finds it done and need not be woken for it. Measured in
  // bench/README.md ("Hand-over", and the loaded-machine figures): the GUI
  // thread then mostly runs on this processor and a delivery costs one
  // switch less.
  if (Clock::now() >= resume_at) std::this_thread::yield();
  std::unique_lock lock(s.mutex);
  for (;;) {
    const bool early = !s.hurry && !request.error && Clock::now() < resume_at;
    if (request.done && !early) break;
    if (early) {
      s.worker_sleeps_until_time = true;
      s.worker_changed.wait_until(lock, resume_at);
      s.worker_sleeps_until_time = false;
    } else {
      s.worker_changed.wait(lock);
    }
  }
}

void GuiHandover::Call(const std::function<void()>& fn, Clock::time_point resume_at) {
  Request request{&fn, false, false, nullptr};
  Submit(request, resume_at);
  if (request.error) std::rethrow_exception(request.error);
}

void GuiHandover::Send(const std::function<void()>& fn) {
  Request request{&fn, true, false, nullptr};
  Submit(request, {});
}

void GuiHandover::WaitForSends() {
  State& s = *state_;
  std::unique_lock lock(s.mutex);
  s.worker_changed.wait(lock, [&] { return s.sends_running == s.sends_waiting_for_worker; });
}

void GuiHandover::WorkerFinished() {
  {
    std::lock_guard lock(state_->mutex);
    state_->worker_finished = true;
  }
  state_->gui_changed.notify_all();
}

void GuiHandover::Hurry() {
  std::unique_lock lock(state_->mutex);
  state_->hurry = true;
  lock.unlock();
  state_->worker_changed.notify_all();
}

void GuiHandover::Serve(const std::shared_ptr<State>& state) {
  // A call may destroy the handover (a sent step that closes the port): keep
  // what the loop needs alive until it is done.
  const std::shared_ptr<State> keep = state;  // NOLINT(performance-unnecessary-copy-initialization)
  State& s = *keep;
  std::unique_lock lock(s.mutex);
  while (!s.pending.empty()) {
    Request* request = s.pending.front();
    s.pending.pop_front();
    if (request->reply_at_once) {
      // The request lives on the worker's stack: copy the call before
      // releasing the worker.
      std::function<void()> fn = *request->fn;
      request->done = true;
      ++s.sends_running;
      s.ReleaseToWorker(lock);
      try {
        fn();
      } catch (...) {
        HandleApplicationException(std::current_exception());
      }
      lock.lock();
      --s.sends_running;
      s.ReleaseToWorker(lock);
    } else {
      ++s.calls_running;
      lock.unlock();
      std::exception_ptr error;
      try {
        (*request->fn)();
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      --s.calls_running;
      request->error = error;
      request->done = true;
      if (error) {
        // A failed call ends the worker's wait at once.
        lock.unlock();
        s.worker_changed.notify_all();
      } else {
        s.ReleaseToWorker(lock);
      }
    }
    lock.lock();
  }
}

void GuiHandover::ServeUntilWorkerFinished() {
  State& s = *state_;
  std::unique_lock lock(s.mutex);
  // Called from inside a sent call, that call waits here for the worker.
  const int outer_waiting = s.sends_waiting_for_worker;
  s.sends_waiting_for_worker = s.sends_running;
  s.ReleaseToWorker(lock);
  lock.lock();
  for (;;) {
    s.gui_changed.wait(lock, [&] { return s.worker_finished || !s.pending.empty(); });
    if (s.pending.empty()) break;
    lock.unlock();
    Serve(state_);
    lock.lock();
  }
  s.sends_waiting_for_worker = outer_waiting;
}

bool GuiHandover::InsideCall() {
  std::lock_guard lock(state_->mutex);
  return state_->calls_running > 0;
}

}  // namespace serial
