// The application object: every event handler runs through its guard, which
// turns an escaping exception into the error box and lets the program go on.
#pragma once

#include "shell/ui/error_box.h"

#include <QApplication>
#include <QTranslator>
#include <exception>

namespace shell {

// Loads Qt's own French texts (file dialogs, standard buttons) into
// `translator`; false when Qt's translations are not installed.
bool load_french_qt_texts(QTranslator& translator);

class OrvantaApplication : public QApplication {
  Q_OBJECT
 public:
  // Qt is handed the program's name only (`argc` becomes 1): the program
  // takes no arguments, and Qt would act on options of its own (-reverse,
  // -qwindowtitle, -platform ...). `argc` must outlive the application.
  // Without a display that Qt can use, the process ends here with one line on
  // standard error and exit status 1, instead of Qt's messages and abort.
  OrvantaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  void report(const QString& message) { boxes_.show(message); }
  void report_exception(const std::exception_ptr& error);
  // The text the error box shows for `error`.
  static QString message_of(const std::exception_ptr& error);
  // What the box says under it: for a serial failure, the port and what the
  // system's code means, in French; empty for the others.
  static QString details_of(const std::exception_ptr& error);

 private:
  QTranslator qt_texts_;
  ErrorBoxes boxes_;
};

}  // namespace shell
