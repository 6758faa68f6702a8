#include "shell/orvanta_application.h"

#include <exception>

namespace shell {

OrvantaApplication::OrvantaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Orvanta");
  setApplicationDisplayName("Orvanta");
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
