#include "serial/gui_handover.h"

#include "serial/application_exceptions.h"

#include <QMetaObject>
#include <QObject>

namespace serial {

GuiHandover::GuiHandover() : receiver_(std::make_unique<QObject>()) {}

// Deleting the receiver drops a wake-up still posted to it.
GuiHandover::~GuiHandover() = default;

void GuiHandover::Submit(Request& request) {
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(&request);
  }
  changed_.notify_all();
  QMetaObject::invokeMethod(receiver_.get(), [this] { ServePending(); }, Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return request.done; });
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
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return sends_running_ == 0; });
}

void GuiHandover::WorkerFinished() {
  {
    std::lock_guard lock(mutex_);
    worker_finished_ = true;
  }
  changed_.notify_all();
}

bool GuiHandover::ServePending() {
  bool ran = false;
  std::unique_lock lock(mutex_);
  while (!pending_.empty()) {
    Request* request = pending_.front();
    pending_.pop_front();
    ran = true;
    if (request->reply_at_once) {
      // The request lives on the worker's stack: copy the call before
      // releasing the worker.
      std::function<void()> fn = *request->fn;
      request->done = true;
      ++sends_running_;
      lock.unlock();
      changed_.notify_all();
      try {
        fn();
      } catch (...) {
        HandleApplicationException(std::current_exception());
      }
      lock.lock();
      --sends_running_;
      lock.unlock();
      changed_.notify_all();
    } else {
      lock.unlock();
      try {
        (*request->fn)();
      } catch (...) {
        request->error = std::current_exception();
      }
      lock.lock();
      request->done = true;
      lock.unlock();
      changed_.notify_all();
    }
    lock.lock();
  }
  return ran;
}

void GuiHandover::ServeUntilWorkerFinished() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return worker_finished_ || !pending_.empty(); });
    if (pending_.empty()) return;
    lock.unlock();
    ServePending();
    lock.lock();
  }
}

}  // namespace serial
