// Port names that select gpsd instead of a serial device:
//   gpsd://HOST:PORT   a gpsd at HOST (a name, an IPv4 address, or an IPv6
//                      address in brackets: gpsd://[::1]:2947), TCP port PORT
//   gpsd://HOST        port 2947, gpsd's own; a bare IPv6 address (two colons
//                      or more: gpsd://::1) is all host, its port 2947
//   gpsd://            localhost:2947, where a local gpsd listens
// The scheme is recognised in any letter case, as port names are.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace serial {

struct GpsdAddress {
  std::string host = "localhost";
  std::string port = "2947";
  bool operator==(const GpsdAddress&) const = default;
};

// Whether the port name selects gpsd (well formed or not).
bool is_gpsd_port(std::string_view name);
// The address of a gpsd port name; none for another name or a malformed one
// (no closing bracket, a port that is no number from 1 to 65535).
std::optional<GpsdAddress> parse_gpsd_port(std::string_view name);
// The name spelt in full, as the port list shows it: "gpsd://localhost:2947".
std::string gpsd_port_name(const GpsdAddress& address);

}  // namespace serial
