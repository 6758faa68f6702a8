// Where slow work goes so that the window's thread never waits on it: opening
// a port's device looks through every process's open files (a tty) or waits
// on a name server and a connection (gpsd). The program runs the work on a
// thread pool; tests run it on a thread of their own and hand it back when
// they choose.
#pragma once

#include <functional>

namespace serial {

class BackgroundWork {
 public:
  virtual ~BackgroundWork() = default;
  // Runs `work` away from the calling thread, then `done` on the calling
  // thread. `done` is never called once this is destroyed; an exception it
  // throws goes to the application's exception handler
  // (application_exceptions.h), having no caller to go to.
  virtual void run(std::function<void()> work, std::function<void()> done) = 0;
};

}  // namespace serial
