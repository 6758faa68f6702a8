// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal)
// into an ordinary close of the main window, so the port is closed and the
// settings are saved exactly as when the user closes it. The handler itself
// only writes a byte to a pipe; the close runs later on the GUI thread.
#pragma once

#include "common/unique_fd.h"

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace shell {

class TerminationSignals : public QObject {
  Q_OBJECT
 public:
  explicit TerminationSignals(std::function<void()> on_signal);
  ~TerminationSignals() override;

 private:
  std::function<void()> on_signal_;
  common::UniqueFd read_end_;
  common::UniqueFd write_end_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace shell
