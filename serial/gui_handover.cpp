#include "serial/gui_handover.h"

#include "serial/application_exceptions.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <thread>

namespace serial {

// Takes the GUI thread's wake-ups: a bare posted event, the least the event
// loop offers (no slot object, no arguments to carry).
class GuiHandover::Receiver : public QObject {
 public:
  explicit Receiver(std::shared_ptr<State> state) : state_(std::move(state)) {}
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    // Serving may destroy this receiver (a sent step that closes the port):
    // nothing of it is touched afterwards.
    Serve(state_);
    return true;
  }

 private:
  std::shared_ptr<State> state_;
};

void GuiHandover::State::ReleaseToWorker(std::unique_lock<std::mutex>& lock) {
  const bool wake = !worker_sleeps_until_time;
  lock.unlock();
  if (wake) worker_changed.notify_all();
}

GuiHandover::GuiHandover() : state_(std::make_shared<State>()), receiver_(std::make_unique<Receiver>(state_)) {}

// Deleting the receiver drops a wake-up still posted to it.
GuiHandover::~GuiHandover() = default;

void GuiHandover::Submit(Request& request, Clock::time_point resume_at) {
  State& s = *state_;
  {
    std::lock_guard lock(s.mutex);
    s.pending.push_back(&request);
  }
  s.gui_changed.notify_all();
  QCoreApplication::postEvent(receiver_.get(), new QEvent(QEvent::User));
  // When the GUI thread woke on this processor, let it run the call now:
  // this thread then finds it done and need not be woken for it.
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
  const std::shared_ptr<State> keep = state;
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
