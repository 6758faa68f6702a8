// Orvanta: creates the four windows in order over the Linux platform services,
// shows the main window and runs the event loop. Arguments are ignored.
#include "acquisition/ui/affichage.h"
#include "platform/linux/desktop_alarm_sound.h"
#include "platform/linux/linux_system_clock.h"
#include "platform/linux/sysfs_power_source.h"
#include "serial/application_exceptions.h"
#include "serial/gpsd/gpsd_ports.h"
#include "serial/posix/dev_port_lister.h"
#include "serial/posix/posix_device_opener.h"
#include "shell/settings_location.h"
#include "shell/ui/application_icon.h"
#include "shell/ui/orvanta_application.h"
#include "shell/ui/termination_signals.h"
#include "shell/ui/windows.h"

#include <exception>
#include <memory>

int main(int argc, char** argv) {
  shell::OrvantaApplication app(argc, argv);
  // Every window, the dialogs and message boxes included, shows it.
  app.setWindowIcon(shell::application_icon());
  app.setDesktopFileName("orvanta");
  serial::SetApplicationExceptionHandler([&app](std::exception_ptr error) { app.report_exception(error); });

  platform::SysfsPowerSource power;
  platform::LinuxSystemClock clock;
  platform::DesktopAlarmSound sound;
  // Port names "gpsd://..." read gpsd; the others are serial devices.
  serial::GpsdDeviceOpener devices(serial::posix_serial_devices());
  serial::GpsdPortLister ports(serial::posix_port_lister());
  shell::PlatformServices platform{devices, ports, power, clock, sound, shell::settings_path()};

  std::unique_ptr<shell::Windows> windows;
  try {
    windows = std::make_unique<shell::Windows>(platform);
  } catch (...) {
    app.report_exception(std::current_exception());
    app.exec();
    return 0;
  }
  shell::TerminationSignals termination([] { Affichage->close(); });
  Affichage->show();
  app.exec();
  return 0;
}
