// Orvanta: creates the four windows in order over the Linux platform services,
// shows the main window and runs the event loop. --help and --version are
// answered before anything starts, --verbose turns the diagnostic log on,
// --time-report runs the acquisition without showing a window, --trace FILE
// opens the viewer on FILE too; other arguments are ignored.
#include "acquisition/time_status_text.h"
#include "acquisition/ui/affichage.h"
#include "platform/linux/chrony_socket.h"
#include "platform/linux/desktop_alarm_sound.h"
#include "platform/linux/kernel_clock_sync.h"
#include "platform/linux/linux_system_clock.h"
#include "platform/linux/sysfs_power_source.h"
#include "serial/application_exceptions.h"
#include "serial/gpsd/gpsd_ports.h"
#include "serial/posix/dev_port_lister.h"
#include "serial/posix/posix_device_opener.h"
#include "serial/thread_pool_work.h"
#include "shell/command_line.h"
#include "shell/settings_location.h"
#include "shell/ui/application_icon.h"
#include "shell/ui/orvanta_application.h"
#include "shell/ui/termination_signals.h"
#include "shell/ui/windows.h"
#include "viewer/ui/tracer_gps.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>
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

void tell(const std::exception_ptr& error) {
  const QString message = shell::with_full_stop(shell::OrvantaApplication::message_of(error));
  std::fprintf(stderr, "%s : %s\n", program_invocation_short_name, message.toUtf8().constData());
}

class Silence : public platform::AlarmSound {
 public:
  void alert() override {}
  void tone(int, int) override {}
};

// --time-report: the acquisition as the main window runs it, its window never
// shown, for the seconds asked; then the report on standard output. A
// measurement leaves the journal and the clock alone (a clock it stepped
// would spoil it) and makes no sound; chronyd still gets its samples.
int run_time_report(const shell::TimeReportRequest& request, shell::PlatformServices& services) {
  Silence silence;
  shell::PlatformServices platform{
      services.serial_devices, services.background,   services.serial_ports, services.power,
      services.clock,          services.time_samples, services.clock_sync,   silence,
      services.settings_path};
  shell::Windows windows(platform);
  acquisition::AcquisitionController& acquisition = windows.acquisition();
  // The port opens once the event loop runs: a port that cannot be opened
  // ends the report there.
  serial::SetApplicationExceptionHandler([&acquisition](const std::exception_ptr& error) {
    tell(error);
    if (!acquisition.port().Connected()) QCoreApplication::exit(1);
  });
  if (const std::optional<std::string> refusal = windows.load_settings())
    std::fprintf(stderr, "%s : %s\n", program_invocation_short_name, refusal->c_str());
  windows.settings().record = false;
  windows.settings().set_clock = false;
  if (!request.port.empty()) acquisition.port().SetPort(request.port);
  acquisition.connect_by_hand();
  QTimer::singleShot(std::chrono::seconds(request.seconds), [&acquisition] {
    const acquisition::TimeStatus status = acquisition.time_status();
    std::fputs(acquisition::time_report_text(status).c_str(), stdout);
    QCoreApplication::exit(acquisition::time_report_exit_status(status));
  });
  const int status = QCoreApplication::exec();
  // The windows go before the handler would be called again.
  serial::SetApplicationExceptionHandler(tell);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<std::string> answer = shell::command_line_answer(argc, argv, program_invocation_short_name,
                                                                           ORVANTA_VERSION, shell::settings_path())) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
  const std::optional<shell::TimeReportRequest> report = shell::time_report_request(argc, argv);
  if (report && !report->error.empty()) {
    std::fprintf(stderr, "%s : %s\n", program_invocation_short_name, report->error.c_str());
    return 2;
  }
  // A report needs no display: the windows exist, unseen.
  if (report) qputenv("QT_QPA_PLATFORM", "offscreen");
  // QT_LOGGING_RULES, read later, may still narrow or widen it.
  if (shell::verbose_requested(argc, argv)) QLoggingCategory::setFilterRules(shell::kVerboseLoggingRules);
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
  platform::KernelClockSync clock_sync;
  // Port names "gpsd://..." read gpsd; the others are serial devices.
  serial::GpsdDeviceOpener devices(serial::posix_serial_devices());
  serial::GpsdPortLister ports(serial::posix_port_lister());
  // After the devices it opens: gone first, it waits for an opening under way.
  serial::ThreadPoolWork background;
  shell::PlatformServices platform{
      devices, background, ports, power, clock, chrony, clock_sync, sound, shell::settings_path()};
  if (report) return run_time_report(*report, platform);

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
