#include "serial/gpsd/gpsd_address.h"

#include <charconv>
#include <strings.h>

namespace serial {
namespace {

constexpr std::string_view kScheme = "gpsd://";

bool valid_port(std::string_view port) {
  unsigned number = 0;
  const char* end = port.data() + port.size();
  auto [stop, error] = std::from_chars(port.data(), end, number);
  return error == std::errc() && stop == end && number >= 1 && number <= 65535;
}

}  // namespace

bool is_gpsd_port(std::string_view name) {
  return name.size() >= kScheme.size() && strncasecmp(name.data(), kScheme.data(), kScheme.size()) == 0;
}

std::optional<GpsdAddress> parse_gpsd_port(std::string_view name) {
  if (!is_gpsd_port(name)) return std::nullopt;
  std::string_view rest = name.substr(kScheme.size());
  GpsdAddress address;
  if (rest.empty()) return address;
  std::string_view host = rest, port;
  if (rest.front() == '[') {
    const size_t close = rest.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = rest.substr(1, close - 1);
    std::string_view after = rest.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      port = after.substr(1);
      if (!valid_port(port)) return std::nullopt;
    }
  } else if (const size_t colon = rest.rfind(':'); colon != std::string_view::npos && rest.find(':') == colon) {
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    if (!valid_port(port)) return std::nullopt;
  }
  if (!host.empty()) address.host = host;
  if (!port.empty()) address.port = port;
  return address;
}

std::string gpsd_port_name(const GpsdAddress& address) {
  const bool ipv6 = address.host.find(':') != std::string::npos;
  return std::string(kScheme) + (ipv6 ? "[" + address.host + "]" : address.host) + ":" + address.port;
}

}  // namespace serial
