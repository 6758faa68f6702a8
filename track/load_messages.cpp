#include "track/load_messages.h"

namespace track {

namespace {
// Ends with two blanks.
constexpr std::string_view kJournal = "Le fichier GPS :  ";
}  // namespace

std::string cannot_open_message(std::string_view path) {
  return "Impossible d'ouvrir le fichier: " + std::string(path) + ".";
}

std::string cannot_open_message(std::string_view path, std::string_view reason) {
  return "Impossible d'ouvrir le fichier: " + std::string(path) + " (" + std::string(reason) + ").";
}

std::string cannot_read_message(std::string_view path) {
  return "Impossible de lire le fichier: " + std::string(path) + ".";
}

std::string faulty_line_message(std::string_view path, int64_t line) {
  return std::string(kJournal) + std::string(path) + "\n\nComporte une erreur à la ligne " + std::to_string(line) + ".";
}

std::string nothing_accepted_message(std::string_view path) {
  return std::string(kJournal) + std::string(path) + "\n\nSemble vide ou totalement illisible par le programme !";
}

std::string unknown_format_message(std::string_view path) {
  return std::string(kJournal) + std::string(path) +
         "\n\nN'est ni un journal, ni un fichier GPX, NMEA ou CSV : le programme ne sait pas le lire.";
}

}  // namespace track
