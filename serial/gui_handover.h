// Runs calls from one worker thread on the GUI thread (the thread that created
// the GuiHandover), through Qt's event loop.
//
// Call: the worker blocks until the call has run on the GUI thread; an
// exception it raised is carried back and raised again in the worker.
// Send: the worker blocks only until the GUI thread has taken the call, then
// goes on (its next Send waits until the GUI thread is free again); an
// exception goes to the application exception handler.
//
// The GUI thread can wait for the worker to finish while still serving its
// calls (ServeUntilWorkerFinished), so stopping a worker that is in the middle
// of a hand-over neither deadlocks nor re-enters the event loop. A sent call
// may itself wait for the worker (and destroy the handover afterwards): the
// worker's WaitForSends does not wait for a send that is waiting for it.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

class QObject;

namespace serial {

class GuiHandover {
 public:
  GuiHandover();
  ~GuiHandover();
  GuiHandover(const GuiHandover&) = delete;
  GuiHandover& operator=(const GuiHandover&) = delete;

  // Worker side.
  void Call(const std::function<void()>& fn);
  void Send(const std::function<void()>& fn);
  // Waits until the calls handed over with Send have finished running, so
  // that the worker's own last steps do not run alongside them.
  void WaitForSends();
  // The worker's last act: wakes ServeUntilWorkerFinished.
  void WorkerFinished();

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
    std::condition_variable changed;
    std::deque<Request*> pending;
    int calls_running = 0;
    int sends_running = 0;
    // Sends suspended in ServeUntilWorkerFinished: they wait for the worker.
    int sends_waiting_for_worker = 0;
    bool worker_finished = false;
  };
  void Submit(Request& request);
  // GUI side: runs the calls waiting now.
  static void Serve(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  std::unique_ptr<QObject> receiver_;
};

}  // namespace serial
