// Orvanta: creates the four windows in order over the Linux platform services,
// shows the main window and runs the event loop. --help and --version are
// answered before anything starts; --trace FILE opens the viewer on FILE
// too; other arguments are ignored.
#include "acquisition/ui/affichage.h"
#include "platform/linux/chrony_socket.h"
#include "platform/linux/desktop_alarm_sound.h"
#include "platform/linux/linux_system_clock.h"
#include "platform/linux/sysfs_power_source.h"
#include "serial/application_exceptions.h"
#include "serial/gpsd/gpsd_ports.h"
#include "serial/posix/dev_port_lister.h"
#include "serial/posix/posix_device_opener.h"
#include "shell/command_line.h"
#include "shell/settings_location.h"
#include "shell/ui/application_icon.h"
#include "shell/ui/orvanta_application.h"
#include "shell/ui/termination_signals.h"
#include "shell/ui/windows.h"
#include "viewer/ui/tracer_gps.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>

namespace {

// The close that a termination signal asks for. It runs the close sequence as
// the user's close does, but nothing may keep the program running: a save
// that fails is told on standard error, where whoever sent the signal can see
// it, and in the exit status.
void close_on_signal() {
  int status = 0;
  try {
    Affichage->FormClose();
  } catch (...) {
    const QString message = shell::with_full_stop(shell::OrvantaApplication::message_of(std::current_exception()));
    std::fprintf(stderr, "%s : %s\n", program_invocation_short_name, message.toUtf8().constData());
    status = 1;
  }
  QCoreApplication::exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<std::string> answer = shell::command_line_answer(argc, argv, program_invocation_short_name,
                                                                           ORVANTA_VERSION, shell::settings_path())) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
  // Read before Qt takes its own options out of the arguments.
  const std::optional<std::string> trace_file = shell::trace_file_argument(argc, argv);
  shell::OrvantaApplication app(argc, argv);
  // Every window, the dialogs and message boxes included, shows it.
  app.setWindowIcon(shell::application_icon());
  app.setDesktopFileName("orvanta");
  serial::SetApplicationExceptionHandler([&app](const std::exception_ptr& error) { app.report_exception(error); });

  platform::SysfsPowerSource power;
  platform::LinuxSystemClock clock;
  platform::ChronySocket chrony;
  platform::DesktopAlarmSound sound;
  // Port names "gpsd://..." read gpsd; the others are serial devices.
  serial::GpsdDeviceOpener devices(serial::posix_serial_devices());
  serial::GpsdPortLister ports(serial::posix_port_lister());
  shell::PlatformServices platform{devices, ports, power, clock, chrony, sound, shell::settings_path()};

  std::unique_ptr<shell::Windows> windows;
  try {
    windows = std::make_unique<shell::Windows>(platform);
  } catch (...) {
    app.report_exception(std::current_exception());
    app.exec();
    return 0;
  }
  shell::TerminationSignals termination(close_on_signal);
  Affichage->show();
  if (trace_file) {
    Trace->open_on_first_show(QFileInfo(QFile::decodeName(trace_file->c_str())).absoluteFilePath());
    Trace->show();
  }
  return app.exec();
}
