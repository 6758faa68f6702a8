// The program's background work: a pool of its own, and a receiver on the
// creating thread (the window's) that the finished work is handed back to
// through its event loop.
#pragma once

#include "serial/background_work.h"

#include <QObject>
#include <QThreadPool>

namespace serial {

class ThreadPoolWork final : public BackgroundWork {
 public:
  ThreadPoolWork() = default;
  // Waits for the work under way, whose `done` is then dropped: it may name
  // what was destroyed before this.
  ~ThreadPoolWork() override;
  ThreadPoolWork(const ThreadPoolWork&) = delete;
  ThreadPoolWork& operator=(const ThreadPoolWork&) = delete;

  void run(std::function<void()> work, std::function<void()> done) override;

 private:
  QObject receiver_;  // on the creating thread: the hand-backs are queued to it
  QThreadPool pool_;
};

}  // namespace serial
