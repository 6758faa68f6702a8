// The port list's gpsd entry, against a stand-in (a real gpsd: tests/e2e).
#include "serial/gpsd/gpsd_ports.h"
#include "support/fake_port_lister.h"
#include "support/loopback_listener.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace serial {
namespace {

using namespace std::chrono_literals;

// The list offers the local gpsd only when it greets, and never keeps the
// window waiting for long on something else listening there.
TEST(GpsdPortLister, OffersTheLocalGpsdWhenItAnswers) {
  for (const std::string there : {"gpsd", "a silent listener", "nothing"}) {
    SCOPED_TRACE(there);
    testing_support::LoopbackListener gpsd;
    const std::string name = "gpsd://127.0.0.1:" + gpsd.port;
    if (there == "nothing") gpsd.fd.reset();
    std::thread greeter;  // the kernel takes the connection; the greeting needs gpsd
    if (there == "gpsd")
      greeter = std::thread([&] {
        const common::UniqueFd client(accept4(gpsd.fd.get(), nullptr, nullptr, SOCK_CLOEXEC));
        send(client.get(), "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n", 38, MSG_NOSIGNAL);
      });
    testing_support::FakePortLister serial;
    serial.names = {"ttyUSB0"};
    std::vector<std::string> names;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(GpsdPortLister(serial, *parse_gpsd_port(name)).list(names), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "generous: the check gives up after 100 ms";
    if (greeter.joinable()) greeter.join();
    const std::vector<std::string> listed = {"ttyUSB0", name};
    EXPECT_EQ(names, there == "gpsd" ? listed : std::vector<std::string>{"ttyUSB0"});
  }
  testing_support::FakePortLister serial;
  EXPECT_EQ(GpsdPortLister(serial).device_of("gpsd://"), "gpsd://localhost:2947");
}

}  // namespace
}  // namespace serial
