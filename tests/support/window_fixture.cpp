#include "window_fixture.h"

#include "acquisition/ui/affichage.h"

#include <QTimer>

namespace testing_support {

WindowFixture::WindowFixture() : WindowFixture(line) {}

WindowFixture::WindowFixture(serial::SerialDeviceOpener& devices)
    : platform{devices,    background, ports,
               power,      clock,      time_samples,
               clock_sync, sound,      dir.filePath("orvanta.INI").toStdString()} {}

WindowFixture::~WindowFixture() { windows.reset(); }

void WindowFixture::create_windows(bool first_show) {
  windows = std::make_unique<shell::Windows>(platform);
  Affichage->Timer_rafraich->stop();
  if (first_show) Affichage->FormShow();
  windows->settings().log_path_1 = path("journal.txt");
  windows->settings().log_path_2 = path("last.txt");
}

std::string WindowFixture::path(const char* name) const { return dir.filePath(name).toStdString(); }

}  // namespace testing_support
