#include "shell/ui/orvanta_application.h"

#include "shell/font_substitutions.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <exception>

namespace shell {

bool load_french_qt_texts(QTranslator& translator) {
  return translator.load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

namespace {

int& program_name_only(int& argc, char** argv) {
  if (argc > 1) {
    argc = 1;
    argv[1] = nullptr;
  }
  return argc;
}

}  // namespace

OrvantaApplication::OrvantaApplication(int& argc, char** argv) : QApplication(program_name_only(argc, argv), argv) {
  // The name only: a display name would be appended to every window caption.
  setApplicationName("Orvanta");
  install_font_substitutions();
  // The program speaks French whatever the desktop's language, Qt's own
  // dialogs included (their dates and sizes too); the serial port's messages
  // are its own and stay as they are.
  if (load_french_qt_texts(qt_texts_)) installTranslator(&qt_texts_);
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  // Qt's dialogs and message boxes in the windows' own font.
  QFont dialog_font("MS Sans Serif");
  dialog_font.setPixelSize(11);
  setFont(dialog_font);
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
