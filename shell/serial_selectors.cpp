#include "shell/serial_selectors.h"

#include "shell/cp1252.h"

#include <QComboBox>
#include <algorithm>
#include <strings.h>

namespace shell {
namespace {

bool before_ignoring_case(const std::string& a, const std::string& b) {
  const int folded = ::strcasecmp(a.c_str(), b.c_str());
  return folded != 0 ? folded < 0 : a < b;  // names differing only in case keep a fixed order
}

constexpr const char* kSpeeds[] = {"Custom", "110",   "300",   "600",   "1200",   "2400",   "4800",   "9600",
                                   "14400",  "19200", "38400", "56000", "57600",  "115200", "128000", "256000"};
static_assert(std::size(kSpeeds) == serial::br256000 + 1);

}  // namespace

std::vector<std::string> sorted_port_names(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), before_ignoring_case);
  return names;
}

void fill_port_selector(QComboBox* selector, serial::PortLister& ports) {
  std::vector<std::string> names;
  if (ports.list(names) != 0) names.clear();
  for (const std::string& name : sorted_port_names(std::move(names))) {
    selector->addItem(from_cp1252(name), QByteArray::fromStdString(name));
  }
}

void fill_speed_selector(QComboBox* selector) {
  for (const char* speed : kSpeeds) selector->addItem(speed);
}

void apply_port_selection(const QComboBox* selector, serial::TCustomComPort& port) {
  if (selector->currentIndex() < 0) return;
  port.SetPort(selector->currentData().toByteArray().toStdString());
}

void apply_speed_selection(const QComboBox* selector, serial::TCustomComPort& port) {
  if (selector->currentIndex() < 0) return;
  port.SetBaudRate(static_cast<serial::TBaudRate>(selector->currentIndex()));
}

void show_port_settings(QComboBox* port_selector, QComboBox* speed_selector, const serial::TCustomComPort& port) {
  port_selector->setCurrentIndex(port_selector->findData(QByteArray::fromStdString(port.Port())));
  speed_selector->setCurrentIndex(port.BaudRate());
}

}  // namespace shell
