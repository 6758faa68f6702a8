// Writes a journal as the logger does, for trying the viewer and timing it.
//
//   orvanta-journal-generator FILE [LINES] [--seed N]   (--help tells more)
//
// FILE gets LINES records (default 1,000,000), one fix every 3 seconds along
// a wandering walk that starts at 45° N 6° E; each record is the logger's own
// line, CR LF ended. The same seed writes the same bytes.
#include "acquisition/fix_fields.h"
#include "acquisition/log_line.h"
#include "tools/command_line.h"
#include "track/export_messages.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string padded(long value, int width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0, '0') + text;
}

// Degrees, minutes and ten-thousandths of a minute of a non-negative angle
// given in ten-thousandths of a minute.
void split(long angle, int degree_width, std::string& degrees, std::string& minutes, std::string& fraction) {
  degrees = padded(angle / 600000, degree_width);
  minutes = padded(angle / 10000 % 60, 2);
  fraction = padded(angle % 10000, 4);
}

bool parse(const char* text, unsigned long& out) {
  const char* end = text + std::strlen(text);
  return std::from_chars(text, end, out).ptr == end && end != text;
}

constexpr char kUsage[] =
    "Utilisation : %1$s FICHIER [LIGNES] [--seed N]\n"
    "Écrit un journal de LIGNES enregistrements (1000000 par défaut) comme le\n"
    "logger l'écrit, une position toutes les 3 secondes le long d'une marche au\n"
    "hasard partie de 45 N 6 E, pour essayer la fenêtre de trace. La même graine\n"
    "(1 par défaut) écrit les mêmes octets.\n"
    "\n"
    "  --seed N     graine de la marche\n"
    "  -h, --help   affiche cette aide et quitte\n"
    "  --version    affiche la version et quitte\n";

enum { kSeed = 0x200 };

struct Options {
  const char* path = nullptr;
  unsigned long lines = 1000000;
  unsigned long seed = 1;
};

// Returns -1 to go on, else the exit status.
int parse_options(int argc, char** argv, Options& options) {
  static const option kOptions[] = {
      {"seed", required_argument, nullptr, kSeed}, tools::kHelpOption, tools::kVersionOption, {}};
  opterr = 0;
  for (int c; (c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1;) {
    switch (c) {
      case kSeed:
        if (!parse(optarg, options.seed)) return tools::usage_error(kUsage);
        break;
      case tools::kHelp:
        return tools::print_help(kUsage);
      case tools::kVersion:
        return tools::print_version();
      default:
        return tools::option_error(c, argv, kUsage);
    }
  }
  const int operands = argc - optind;
  if (operands < 1 || operands > 2) return tools::usage_error(kUsage);
  options.path = argv[optind];
  if (operands == 2 && !parse(argv[optind + 1], options.lines)) return tools::usage_error(kUsage);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parse_options(argc, argv, options); status >= 0) return status;
  const char* const path = options.path;
  std::FILE* out = std::fopen(path, "wb");
  if (!out) {
    std::fprintf(stderr, "%s: impossible d'ouvrir %s en écriture (%s)\n", program_invocation_short_name, path,
                 track::system_reason(errno).c_str());
    return 1;
  }

  std::mt19937 random(static_cast<std::mt19937::result_type>(options.seed));
  std::normal_distribution<double> turn(0.0, 0.15);
  std::uniform_int_distribution<int> speed(0, 60);
  // Positions in ten-thousandths of a minute; about 8 metres per unit step.
  double lat = 45.0 * 600000, lon = 6.0 * 600000, heading = 0.7;
  long seconds = 0;
  acquisition::FixFields f;
  f.Aff_lat_NS = "N";
  f.Aff_lon_EW = "E";
  for (unsigned long i = 0; i < options.lines; ++i) {
    heading += turn(random);
    lat = std::clamp(lat + 40 * std::cos(heading), 0.0, 90.0 * 600000 - 1);
    lon = std::clamp(lon + 40 * std::sin(heading), 0.0, 180.0 * 600000 - 1);
    const long day = seconds / 86400;
    f.Aff_jour = padded(day % 28 + 1, 2);
    f.Aff_mois = padded(day / 28 % 12 + 1, 2);
    f.Aff_annee = padded(2024 + day / 336, 4);
    f.Aff_heure = padded(seconds / 3600 % 24, 2);
    f.Aff_minute = padded(seconds / 60 % 60, 2);
    f.Aff_seconde = padded(seconds % 60, 2);
    split(static_cast<long>(lat), 2, f.Aff_lat_degres, f.Aff_lat_minutes, f.Aff_lat_miliemes);
    split(static_cast<long>(lon), 3, f.Aff_lon_degres, f.Aff_lon_minutes, f.Aff_lon_miliemes);
    f.Aff_vitesse = padded(speed(random), 3);
    const std::string line = acquisition::Ligne_log(f) + "\r\n";
    if (std::fwrite(line.data(), 1, line.size(), out) != line.size()) break;
    seconds += 3;
  }
  if (std::ferror(out) || std::fclose(out) != 0) {
    std::fprintf(stderr, "%s: impossible d'écrire dans %s (%s)\n", program_invocation_short_name, path,
                 track::system_reason(errno).c_str());
    return 1;
  }
  return 0;
}
