#include "shell/command_line.h"

#include "common/decimal_integer.h"

namespace shell {

std::optional<std::string> command_line_answer(int argc, const char* const* argv, std::string_view program,
                                               std::string_view version, std::string_view settings_path) {
  const std::string name(program);
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") return name + " (Orvanta) " + std::string(version) + "\n";
    if (arg == "--help") {
      return "Utilisation : " + name +
             " [--help | --version | --verbose | --time-report [SECONDES] [--port NOM]]\n"
             "\n"
             "Journal de bord GPS : lit les trames NMEA d'un récepteur sur un port série,\n"
             "affiche la position et l'enregistre dans un journal ; « Trace » dessine le\n"
             "trajet. Tout se règle dans la fenêtre Configuration.\n"
             "\n"
             "  --help     affiche cette aide et quitte\n"
             "  --version  affiche la version et quitte\n"
             "  --time-report [SECONDES]\n"
             "             lit le récepteur sans fenêtre pendant SECONDES (60 par défaut),\n"
             "             puis affiche son retard mesuré et la ligne pour chronyd ;\n"
             "             code de sortie 0 quand au moins 10 points fiables ont été mesurés\n"
             "  --port NOM avec --time-report : le port à lire, au lieu de celui des paramètres\n"
             "  --verbose  écrit sur la sortie d'erreur le journal de diagnostic : ports\n"
             "             ouverts ou refusés et pourquoi, connexions à gpsd, réglage de\n"
             "             l'heure (aussi par QT_LOGGING_RULES=\"orvanta.*.debug=true\")\n"
             "\n"
             "Les autres arguments sont ignorés. Fichier de paramètres :\n"
             "  " +
             std::string(settings_path) + "\nVoir aussi : man orvanta\n";
    }
  }
  return std::nullopt;
}

namespace {

TimeReportRequest wrong(std::string error) {
  TimeReportRequest request;
  request.error = std::move(error);
  return request;
}

}  // namespace

std::optional<TimeReportRequest> time_report_request(int argc, const char* const* argv) {
  std::optional<TimeReportRequest> request;
  std::string port;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--port") {
      if (i + 1 == argc) return wrong("--port : il manque le nom du port");
      port = argv[++i];
    } else if (arg == "--time-report") {
      request.emplace();
      if (i + 1 == argc || std::string_view(argv[i + 1]).starts_with("-")) continue;
      // A day at most: a longer run is a logger's, not a measurement's.
      const std::optional<int64_t> seconds = common::decimal_integer(argv[++i], 1, 86400);
      if (!seconds || argv[i][0] == ' ' || argv[i][0] == '+')
        return wrong("--time-report : durée invalide « " + std::string(argv[i]) + " » (des secondes, de 1 à 86400)");
      request->seconds = static_cast<int>(*seconds);
    }
  }
  if (request) request->port = port;
  return request;
}

bool verbose_requested(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--verbose") return true;
  return false;
}

}  // namespace shell
