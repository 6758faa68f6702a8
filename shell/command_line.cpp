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
             " [--help | --version | --trace FICHIER]\n"
             "\n"
             "Journal de bord GPS : lit les trames NMEA d'un récepteur sur un port série,\n"
             "affiche la position et l'enregistre dans un journal ; « Trace » dessine le\n"
             "trajet. Tout se règle dans la fenêtre Configuration.\n"
             "\n"
             "  --help     affiche cette aide et quitte\n"
             "  --version  affiche la version et quitte\n"
             "  --trace FICHIER\n"
             "             ouvre aussi « Trace » sur ce fichier (journal, GPX, NMEA ou CSV)\n"
             "\n"
             "Les autres arguments sont ignorés. Fichier de paramètres :\n"
             "  " +
             std::string(settings_path) + "\nVoir aussi : man orvanta\n";
    }
  }
  return std::nullopt;
}

std::optional<std::string> trace_file_argument(int argc, const char* const* argv) {
  constexpr std::string_view kOption = "--trace";
  std::optional<std::string> file;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == kOption && i + 1 < argc) {
      file = argv[++i];
    } else if (arg.starts_with(kOption) && arg.size() > kOption.size() && arg[kOption.size()] == '=') {
      file = std::string(arg.substr(kOption.size() + 1));
    }
  }
  return file;
}

}  // namespace shell
