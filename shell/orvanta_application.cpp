#include "shell/orvanta_application.h"

#include <exception>

namespace shell {

OrvantaApplication::OrvantaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Orvanta");
  setApplicationDisplayName("Orvanta");
  // The windows ask for the classic dialog font; Liberation Sans has the
  // metrics it was drawn with, where the default substitute is much wider.
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

bool OrvantaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    report(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    report("Erreur inconnue");
  }
  return false;
}

}  // namespace shell
