#include "timed_receiver.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

namespace {

std::string rmc_at(time_t second) {
  tm utc{};
  gmtime_r(&second, &utc);
  char body[128];
  std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d,A,4500.0000,N,00600.0000,E,012.5,045.0,%02d%02d%02d,,",
                utc.tm_hour, utc.tm_min, utc.tm_sec, utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
  unsigned sum = 0;
  for (const char* c = body; *c; ++c) sum ^= static_cast<unsigned char>(*c);
  char sentence[160];
  std::snprintf(sentence, sizeof sentence, "$%s*%02X\r\n", body, sum);
  return sentence;
}

}  // namespace

TimedReceiver::TimedReceiver(std::string link, std::chrono::milliseconds delay, std::function<bool()> port_held)
    : link_(std::move(link)), delay_(delay), port_held_(std::move(port_held)) {
  termios raw{};
  cfmakeraw(&raw);
  char name[128] = {};
  int slave = -1;
  if (openpty(&master_, &slave, name, &raw, nullptr) != 0) return;
  close(slave);
  std::error_code ec;
  std::filesystem::create_symlink(name, link_, ec);
  thread_ = std::thread([this] { run(); });
}

TimedReceiver::~TimedReceiver() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  std::error_code ec;
  std::filesystem::remove(link_, ec);
  if (master_ >= 0) close(master_);
}

void TimedReceiver::run() {
  using namespace std::chrono;
  while (!stop_) {
    const system_clock::time_point now = system_clock::now();
    system_clock::time_point second = floor<seconds>(now);
    if (second + delay_ <= now) second += seconds(1);
    std::this_thread::sleep_until(second + delay_);
    if (!port_held_()) continue;
    const std::string sentence = rmc_at(system_clock::to_time_t(second));
    if (write(master_, sentence.data(), sentence.size()) < 0) return;
  }
}

}  // namespace testing_support
