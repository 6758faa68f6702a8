// The application object: every event handler runs through its guard, which
// turns an escaping exception into the error box and lets the program go on.
#pragma once

#include "shell/error_box.h"

#include <QApplication>
#include <exception>

namespace shell {

class OrvantaApplication : public QApplication {
  Q_OBJECT
 public:
  OrvantaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  void report(const QString& message) { boxes_.show(message); }
  void report_exception(std::exception_ptr error);

 private:
  ErrorBoxes boxes_;
};

}  // namespace shell
