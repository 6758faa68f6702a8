// Runs calls from one worker thread on the GUI thread (the thread that created
// the GuiHandover), through Qt's event loop.
//
// Call: the worker blocks until the call has run on the GUI thread; an
// exception it raised is carried back and raised again in the worker. The
// worker may also ask not to resume before a given time: it then sleeps once,
// until both the call has run and the time has come, instead of waking when
// the call ends and sleeping again.
// Send: the worker blocks only until the GUI thread has taken the call, then
// goes on (its next Send waits until the GUI thread is free again); an
// exception goes to the application exception handler.
//
// The worker wakes the GUI thread through a pipe that the GUI thread's event
// loop watches: a pipe wakes its reader as one that the writer is about to
// make way for, so the scheduler tends to run the GUI thread on the worker's
// processor instead of waking another one.
//
// The GUI thread can wait for the worker to finish while still serving its
// calls (ServeUntilWorkerFinished), so stopping a worker that is in the middle
// of a hand-over neither deadlocks nor re-enters the event loop. A sent call
// may itself wait for the worker (and destroy the handover afterwards): the
// worker's WaitForSends does not wait for a send that is waiting for it.
#pragma once

#include "common/unique_fd.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;

namespace serial {

class GuiHandover {
 public:
  using Clock = std::chrono::steady_clock;

  GuiHandover();
  ~GuiHandover();
  GuiHandover(const GuiHandover&) = delete;
  GuiHandover& operator=(const GuiHandover&) = delete;

  // Worker side. Call returns once `fn` has run and, unless Hurry was
  // called or `fn` raised, not before `resume_at`.
  void Call(const std::function<void()>& fn, Clock::time_point resume_at = {});
  void Send(const std::function<void()>& fn);
  // Waits until the calls handed over with Send have finished running, so
  // that the worker's own last steps do not run alongside them.
  void WaitForSends();
  // The worker's last act: wakes ServeUntilWorkerFinished.
  void WorkerFinished();

  // Any thread: from now on Call returns as soon as its call has run (the
  // worker is being stopped).
  void Hurry();

  // GUI side: serves calls until the worker reports it has finished.
  void ServeUntilWorkerFinished();
  // GUI side: whether the GUI thread is inside a call handed over with Call,
  // for which the worker is blocked.
  bool InsideCall();

 private:
  struct Request {
    const std::function<void()>* fn;
    bool reply_at_once;
    bool done = false;
    std::exception_ptr error;
  };
  // Shared with the calls running on the GUI thread, which need it after
  // they return even when they destroyed the handover.
  struct State {
    std::mutex mutex;
    // The GUI thread waits on one, the worker on the other, so that neither
    // wakes the other for nothing.
    std::condition_variable gui_changed;
    std::condition_variable worker_changed;
    std::deque<Request*> pending;
    int calls_running = 0;
    int sends_running = 0;
    // Sends suspended in ServeUntilWorkerFinished: they wait for the worker.
    int sends_waiting_for_worker = 0;
    bool worker_finished = false;
    // The worker sleeps until a time of its own: the end of a call need not
    // wake it, it finds the call done when it wakes.
    bool worker_sleeps_until_time = false;
    bool hurry = false;

    // Releases `lock` and tells the worker that something it may be waiting
    // for has changed.
    void ReleaseToWorker(std::unique_lock<std::mutex>& lock);
  };

  void Submit(Request& request, Clock::time_point resume_at);
  // GUI side: runs the calls waiting now.
  static void Serve(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  common::UniqueFd wake_read_, wake_write_;
  // Declared last: stops watching before the pipe closes.
  std::unique_ptr<QSocketNotifier> wake_notifier_;
};

}  // namespace serial
