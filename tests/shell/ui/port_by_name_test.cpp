// The port is kept by its name: a list that changes between two runs never
// makes the program open another device. Two receivers on ptys, linked into
// the test's folder under adapter-like names.
#include "acquisition/ui/affichage.h"
#include "serial/posix/posix_device_opener.h"
#include "shell/ui/config_dialog.h"
#include "support/pty_pair.h"
#include "support/wait_until.h"
#include "support/window_fixture.h"

#include <fstream>
#include <unistd.h>

namespace {

class PortByName : public testing_support::WindowFixture {
 protected:
  PortByName() : WindowFixture(serial::posix_serial_devices()) {
    ::symlink(first.path().c_str(), first_link.c_str());
    ::symlink(second.path().c_str(), second_link.c_str());
  }

  // A run of the program: start (the settings read), one cycle, close.
  void run(const std::function<void()>& while_running = {}) {
    create_windows();
    windows->acquisition().run_cycle();
    if (while_running) while_running();
    Affichage->FormClose();
    windows.reset();
  }
  // Whether the open port reads what the receiver `pty` sends.
  bool reads_from(serial::testing::PtyPair& pty) {
    windows->acquisition().receive_buffer().clear();
    pty.send("$GPGGA\r\n");
    return testing_support::PumpUntil([this] { return !windows->acquisition().receive_buffer().empty(); }, 500);
  }
  // Whether the file names the first receiver, and COMM is `index`.
  bool file_names_first(int index) const {
    std::ifstream in(platform.settings_path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    return text.find("\r\nCOMM=" + std::to_string(index) + "\r\nVitesse=6\r\nPort=" + first_link + "\r\n") !=
           std::string::npos;
  }

  serial::testing::PtyPair first;
  serial::testing::PtyPair second;
  const std::string first_link = path("ttyUSB1");
  const std::string second_link = path("ttyUSB0");
};

TEST_F(PortByName, AListThatChangesNeverOpensAnotherDevice) {
  // An older file names the port by its place in the list only.
  std::ofstream(platform.settings_path, std::ios::binary) << "[RS232]\r\nConnection auto=1\r\nCOMM=0\r\n";
  ports.names = {first_link};
  run([this] { EXPECT_TRUE(reads_from(first)); });
  EXPECT_TRUE(file_names_first(0));

  // gpsd came up and another adapter, which sorts before it, was plugged.
  ports.names = {"gpsd://localhost:2947", second_link, first_link};
  run([this] {
    EXPECT_EQ(windows->acquisition().port().Port(), first_link);
    EXPECT_TRUE(reads_from(first));
  });
  EXPECT_TRUE(file_names_first(1)) << "for older readers";

  // Unplugged at start: tried again at each cycle, under its name, until back.
  ::unlink(first_link.c_str());
  ports.names = {second_link};
  create_windows();
  acquisition::AcquisitionController& acquisition = windows->acquisition();
  EXPECT_THROW(acquisition.run_cycle(), std::exception);
  EXPECT_NO_THROW(acquisition.run_cycle());
  ASSERT_EQ(::symlink(first.path().c_str(), first_link.c_str()), 0);
  acquisition.run_cycle();
  EXPECT_EQ(acquisition.port().Port(), first_link);
  EXPECT_TRUE(reads_from(first));
  Affichage->FormClose();
  EXPECT_TRUE(file_names_first(-1)) << "not listed now";
}

TEST_F(PortByName, APickedPortIsKeptByItsName) {
  ports.names = {second_link, first_link};
  create_windows();
  Config->Aff_select_port->setCurrentIndex(1);
  emit Config->Aff_select_port->activated(1);
  Affichage->FormClose();
  windows.reset();
  ports.names = {first_link};
  run([this] { EXPECT_TRUE(reads_from(first)); });
}

}  // namespace
