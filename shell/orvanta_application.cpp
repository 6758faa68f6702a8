#include "shell/orvanta_application.h"

#include <QFont>

#include <exception>

namespace shell {

OrvantaApplication::OrvantaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The name only: a display name would be appended to every window caption.
  setApplicationName("Orvanta");
  // The windows ask for the classic dialog font; Liberation Sans has the
  // metrics it was drawn with, where the default substitute is much wider.
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

bool OrvantaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    report_exception(std::current_exception());
  }
  return false;
}

void OrvantaApplication::report_exception(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    report(QString::fromUtf8(e.what()));
  } catch (...) {
    report("Erreur inconnue");
  }
}

}  // namespace shell
