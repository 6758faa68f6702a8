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
// of a hand-over neither deadlocks nor re-enters the event loop.
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

  // GUI side: runs the calls waiting now; returns whether it ran any.
  bool ServePending();
  // GUI side: serves calls until the worker reports it has finished.
  void ServeUntilWorkerFinished();

 private:
  struct Request {
    const std::function<void()>* fn;
    bool reply_at_once;
    bool done = false;
    std::exception_ptr error;
  };
  void Submit(Request& request);

  std::unique_ptr<QObject> receiver_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Request*> pending_;
  int sends_running_ = 0;
  bool worker_finished_ = false;
};

}  // namespace serial
