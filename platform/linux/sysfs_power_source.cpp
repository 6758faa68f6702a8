#include "platform/linux/sysfs_power_source.h"

#include <filesystem>
#include <fstream>

namespace platform {
namespace {

std::optional<std::string> first_line(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  return line;
}

}  // namespace

SysfsPowerSource::SysfsPowerSource(std::string root) : root_(std::move(root)) {}

// The first supply of type Battery gives the level; a machine without one (a
// desktop, a virtual machine) reports 255, "unknown", which raises no alarm.
// A battery whose capacity cannot be read keeps the caller's previous reading.
std::optional<uint8_t> SysfsPowerSource::battery_percent() {
  std::error_code ec;
  std::filesystem::directory_iterator it(root_, ec);
  if (ec) {
    // No power-supply class at all: a machine without battery. Anything else
    // is a reading that failed this time.
    if (ec == std::errc::no_such_file_or_directory) return uint8_t{255};
    return std::nullopt;
  }
  for (const auto& entry : it) {
    if (first_line(entry.path() / "type") != "Battery") continue;
    std::optional<std::string> capacity = first_line(entry.path() / "capacity");
    if (!capacity) return std::nullopt;
    try {
      int value = std::stoi(*capacity);
      if (value < 0 || value > 100) return std::nullopt;
      return static_cast<uint8_t>(value);
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }
  return uint8_t{255};
}

}  // namespace platform
