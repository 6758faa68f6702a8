#include "track/export_messages.h"

#include <array>
#include <cerrno>
#include <utility>

namespace track {

std::string_view faulty_field_reason(JournalField field) {
  static constexpr std::array<std::string_view, kFieldCount> kReasons = {
      "la date n'est pas suivie d'une tabulation",
      "l'heure n'est pas suivie d'une tabulation",
      "les degrés de latitude ne sont pas un nombre de 0 à 90 suivi de °",
      "les minutes de latitude ne sont pas un nombre de 0 à 59 suivi de '",
      "la fraction de minute de latitude n'est pas un nombre de 0 à 9999 suivi de \"",
      "l'hémisphère de latitude n'est pas N ou S suivi d'une tabulation",
      "les degrés de longitude ne sont pas un nombre de 0 à 180 suivi de °",
      "les minutes de longitude ne sont pas un nombre de 0 à 59 suivi de '",
      "la fraction de minute de longitude n'est pas un nombre de 0 à 9999 suivi de \"",
      "l'hémisphère de longitude n'est pas E, W ou O suivi d'une tabulation",
      "la vitesse n'est pas suivie d'un retour chariot (CR) avant le 119e caractère",
  };
  return field < kFieldCount ? kReasons[field] : std::string_view();
}

std::string system_reason(int error) {
  static constexpr std::pair<int, std::string_view> kReasons[] = {
      {ENOENT, "fichier ou dossier introuvable"},
      {EACCES, "permission refusée"},
      {EPERM, "opération non permise"},
      {EISDIR, "c'est un dossier"},
      {ENOTDIR, "un élément du chemin n'est pas un dossier"},
      {ELOOP, "trop de liens symboliques"},
      {ENAMETOOLONG, "nom trop long"},
      {EROFS, "système de fichiers en lecture seule"},
      {ENOSPC, "plus de place sur le support"},
      {EDQUOT, "quota de disque dépassé"},
      {EFBIG, "fichier trop grand"},
      {EIO, "erreur d'entrée-sortie"},
      {EMFILE, "trop de fichiers ouverts"},
      {ENFILE, "trop de fichiers ouverts"},
      {ENXIO, "périphérique absent, ou tube que personne ne lit"},
      {EPIPE, "tube fermé par son lecteur"},
      {EBUSY, "périphérique occupé"},
      {ETXTBSY, "fichier occupé"},
  };
  for (const auto& [code, reason] : kReasons) {
    if (code == error) return std::string(reason);
  }
  return "erreur système " + std::to_string(error);
}

}  // namespace track
