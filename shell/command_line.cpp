#include "shell/command_line.h"

namespace shell {

std::optional<std::string> command_line_answer(int argc, const char* const* argv, std::string_view program,
                                               std::string_view version, std::string_view settings_path) {
  const std::string name(program);
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") return name + " (Orvanta) " + std::string(version) + "\n";
    if (arg == "--help") {
      return "Utilisation : " + name +
             " [--help | --version | --verbose]\n"
             "\n"
             "Journal de bord GPS : lit les trames NMEA d'un récepteur sur un port série,\n"
             "affiche la position et l'enregistre dans un journal ; « Trace » dessine le\n"
             "trajet. Tout se règle dans la fenêtre Configuration.\n"
             "\n"
             "  --help     affiche cette aide et quitte\n"
             "  --version  affiche la version et quitte\n"
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

bool verbose_requested(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--verbose") return true;
  return false;
}

}  // namespace shell
