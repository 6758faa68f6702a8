#include "shell/ui/orvanta_application.h"

#include "serial/com_error_details.h"
#include "shell/font_substitutions.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace shell {

bool load_french_qt_texts(QTranslator& translator) {
  return translator.load(QLocale(QLocale::French, QLocale::France), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

namespace {

// Qt's messages while the application object is built, held back: the only
// failure there is a display that cannot be used, which Qt reports in
// several lines before it aborts. One line says it instead; on success the
// messages go out as they would have.
struct HeldMessage {
  QtMsgType type;
  // Where it came from: static texts, as Qt's logging macros give them.
  const char* file;
  int line;
  const char* function;
  const char* category;
  QString text;
};
std::vector<HeldMessage> held_messages;
QtMessageHandler handler_before = nullptr;

void hold_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) {
    held_messages.push_back({type, context.file, context.line, context.function, context.category, text});
    return;
  }
  std::string settings;
  for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
    if (const char* value = std::getenv(name))
      settings += std::string(settings.empty() ? "" : ", ") + name + "=" + value;
  }
  std::fprintf(stderr, "%s : aucun affichage utilisable (%s) ; lancez-le dans une session graphique\n",
               program_invocation_short_name, settings.empty() ? "DISPLAY non défini" : settings.c_str());
  std::_Exit(1);
}

int& before_qt(int& argc, char** argv) {
  if (argc > 1) {
    argc = 1;
    argv[1] = nullptr;
  }
  handler_before = qInstallMessageHandler(hold_message);
  return argc;
}

void after_qt() {
  qInstallMessageHandler(handler_before);
  for (const HeldMessage& m : held_messages) {
    handler_before(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
  }
  held_messages.clear();
}

}  // namespace

OrvantaApplication::OrvantaApplication(int& argc, char** argv) : QApplication(before_qt(argc, argv), argv) {
  after_qt();
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

void OrvantaApplication::report_exception(const std::exception_ptr& error) {
  boxes_.show(message_of(error), details_of(error));
}

QString OrvantaApplication::message_of(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return "Erreur inconnue";
  }
}

QString OrvantaApplication::details_of(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const serial::EComPort& e) {
    return QString::fromUtf8(serial::ComErrorDetails(e));
  } catch (...) {
    return {};
  }
}

}  // namespace shell
