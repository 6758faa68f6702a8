// Prints the serial ports the configuration dialog lists, in its order, each
// after its place in the list: the number the settings file keeps as "COMM".
// The demo finds its virtual port's number with it, and it shows what the
// program sees when a port is missing from the list.
//
//   orvanta-port-list   (--help tells more)
#include "serial/com_error.h"
#include "serial/com_select.h"
#include "serial/gpsd/gpsd_ports.h"
#include "serial/posix/dev_port_lister.h"
#include "tools/command_line.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "Utilisation : %1$s\n"
    "Affiche les ports série de /dev, et le gpsd local quand il répond, comme la\n"
    "liste des ports d'Orvanta les montre, un par ligne : la place dans la liste\n"
    "(le réglage « COMM »), une tabulation, le nom.\n"
    "\n"
    "  -h, --help   affiche cette aide et quitte\n"
    "  --version    affiche la version et quitte\n";

}  // namespace

int main(int argc, char** argv) {
  static const option kOptions[] = {tools::kHelpOption, tools::kVersionOption, {}};
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case tools::kHelp:
        return tools::print_help(kUsage);
      case tools::kVersion:
        return tools::print_version();
      default:
        return tools::option_error(c, argv, kUsage);
    }
  }
  if (optind != argc) return tools::usage_error(kUsage);

  std::vector<std::string> ports;
  try {
    serial::GpsdPortLister lister(serial::posix_port_lister());
    serial::ListPorts(lister, ports);
  } catch (const serial::EComPort& error) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, error.what());
    return 1;
  }
  for (size_t i = 0; i < ports.size(); ++i) std::printf("%zu\t%s\n", i, ports[i].c_str());
  return 0;
}
