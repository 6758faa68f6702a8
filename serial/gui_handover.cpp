#include "serial/gui_handover.h"

#include "serial/application_exceptions.h"

#include <QMetaObject>
#include <QObject>

namespace serial {

GuiHandover::GuiHandover() : state_(std::make_shared<State>()), receiver_(std::make_unique<QObject>()) {}

// Deleting the receiver drops a wake-up still posted to it.
GuiHandover::~GuiHandover() = default;

void GuiHandover::Submit(Request& request) {
  State& s = *state_;
  {
    std::lock_guard lock(s.mutex);
    s.pending.push_back(&request);
  }
  s.changed.notify_all();
  QMetaObject::invokeMethod(receiver_.get(), [state = state_] { Serve(state); }, Qt::QueuedConnection);
  std::unique_lock lock(s.mutex);
  s.changed.wait(lock, [&] { return request.done; });
}

void GuiHandover::Call(const std::function<void()>& fn) {
  Request request{&fn, false, false, nullptr};
  Submit(request);
  if (request.error) std::rethrow_exception(request.error);
}

void GuiHandover::Send(const std::function<void()>& fn) {
  Request request{&fn, true, false, nullptr};
  Submit(request);
}

void GuiHandover::WaitForSends() {
  State& s = *state_;
  std::unique_lock lock(s.mutex);
  s.changed.wait(lock, [&] { return s.sends_running == s.sends_waiting_for_worker; });
}

void GuiHandover::WorkerFinished() {
  {
    std::lock_guard lock(state_->mutex);
    state_->worker_finished = true;
  }
  state_->changed.notify_all();
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
      lock.unlock();
      s.changed.notify_all();
      try {
        fn();
      } catch (...) {
        HandleApplicationException(std::current_exception());
      }
      lock.lock();
      --s.sends_running;
      lock.unlock();
      s.changed.notify_all();
    } else {
      ++s.calls_running;
      lock.unlock();
      try {
        (*request->fn)();
      } catch (...) {
        request->error = std::current_exception();
      }
      lock.lock();
      --s.calls_running;
      request->done = true;
      lock.unlock();
      s.changed.notify_all();
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
  s.changed.notify_all();
  for (;;) {
    s.changed.wait(lock, [&] { return s.worker_finished || !s.pending.empty(); });
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
