// The port reading gpsd, against a stand-in that speaks gpsd's side of the
// socket: what the port receives, what the port list offers, and gpsd going
// away.
#include "common/unique_fd.h"
#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/gpsd/gpsd_ports.h"
#include "support/fake_port_lister.h"
#include "support/fake_serial_device.h"
#include "support/wait_until.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing_support::PumpUntil;

constexpr char kGreeting[] = "{\"class\":\"VERSION\",\"release\":\"3.22\",\"proto_major\":3}\r\n";

// Listens on a free loopback port as gpsd would; one client at a time.
class StandInGpsd {
 public:
  StandInGpsd() {
    listener_.reset(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    EXPECT_EQ(bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(listen(listener_.get(), 4), 0);
    getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length);
    port_ = std::to_string(ntohs(address.sin_port));
  }
  GpsdAddress address() const { return {"127.0.0.1", port_}; }
  std::string name() const { return "gpsd://127.0.0.1:" + port_; }

  // Takes the next client (within 5 s), greets it unless told not to, and
  // returns the first line it asked.
  std::string accept_client(bool greet = true) {
    pollfd p{listener_.get(), POLLIN, 0};
    if (poll(&p, 1, 5000) != 1) return "(nobody came)";
    client_.reset(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (greet) send(kGreeting);
    std::string asked;
    pollfd q{client_.get(), POLLIN, 0};
    char c;
    while (greet && asked.find('\n') == std::string::npos && poll(&q, 1, 5000) == 1 && read(client_.get(), &c, 1) == 1)
      asked += c;
    return asked;
  }
  void send(std::string_view bytes) {
    ASSERT_EQ(write(client_.get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void drop_client() { client_.reset(); }
  void stop_listening() { listener_.reset(); }

 private:
  common::UniqueFd listener_, client_;
  std::string port_;
};

TEST(GpsdPort, ReceivesTheSentencesAsTheyCameAndClosesWhenGpsdGoes) {
  StandInGpsd gpsd;
  FakeSerialLine unused;
  GpsdDeviceOpener devices(unused);
  TComPort port(devices);
  std::string received;
  bool lost = false;
  port.OnRxChar = [&](TCustomComPort* sender, int count) {
    std::string text;
    sender->ReadText(text, count);
    received += text;
  };
  port.OnDeviceLost = [&](TCustomComPort*) { lost = true; };
  port.SetPort(gpsd.name());
  port.Open();
  EXPECT_EQ(gpsd.accept_client(), "?WATCH={\"enable\":true,\"nmea\":true}\n");

  // Line settings are taken without a word and change nothing.
  port.SetBaudRate(br115200);
  port.Parity().SetBits(prEven);
  const std::string rmc = "$GPRMC,120000,A,4500.0000,N,00600.0000,E,012.5,045.0,070126,,*1C\r\n";
  gpsd.send("{\"class\":\"DEVICES\",\"devices\":[]}\r\n{\"class\":\"WATCH\",\"nmea\":true}\r\n" + rmc.substr(0, 20));
  gpsd.send(rmc.substr(20) + "{\"class\":\"DEVICE\",\"activated\":0}\r\n" + rmc);
  EXPECT_TRUE(PumpUntil([&] { return received.size() >= 2 * rmc.size(); }));
  EXPECT_EQ(received, rmc + rmc);
  EXPECT_TRUE(port.Connected());

  // gpsd stops: an unplugged receiver. Until it is back, opening is refused.
  gpsd.drop_client();
  gpsd.stop_listening();
  EXPECT_TRUE(PumpUntil([&] { return lost; }));
  EXPECT_FALSE(port.Connected());
  try {
    port.Open();
    ADD_FAILURE() << "opened with no gpsd";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode(), ComError::OpenFailed);
    EXPECT_EQ(e.WinErrorCode(), ECONNREFUSED);
  }
}

// The list offers the local gpsd only when it greets, and never keeps the
// window waiting for long on something else listening there.
TEST(GpsdPort, TheListOffersTheLocalGpsdWhenItAnswers) {
  enum class There { Gpsd, SilentListener, Nothing };
  for (There there : {There::Gpsd, There::SilentListener, There::Nothing}) {
    SCOPED_TRACE(static_cast<int>(there));
    StandInGpsd gpsd;
    if (there == There::Nothing) gpsd.stop_listening();
    testing_support::FakePortLister serial;
    serial.names = {"ttyUSB0"};
    GpsdPortLister lister(serial, gpsd.address());
    std::vector<std::string> names;
    const auto start = std::chrono::steady_clock::now();
    // A listener answers the connection by itself (the kernel does), before
    // anyone accepts; the greeting needs gpsd.
    std::thread server;
    if (there == There::Gpsd) server = std::thread([&] { gpsd.accept_client(); });
    ASSERT_EQ(lister.list(names), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    if (server.joinable()) server.join();
    const std::vector<std::string> expected =
        there == There::Gpsd ? std::vector<std::string>{"ttyUSB0", gpsd.name()} : std::vector<std::string>{"ttyUSB0"};
    EXPECT_EQ(names, expected);
    EXPECT_LT(took, 1s) << "generous: the check gives up after a tenth of a second";
  }
  testing_support::FakePortLister serial;
  GpsdPortLister lister(serial);
  EXPECT_EQ(lister.device_of("gpsd://"), "gpsd://localhost:2947");
  EXPECT_EQ(lister.device_of("COM1"), "COM1");
}

}  // namespace
}  // namespace serial
