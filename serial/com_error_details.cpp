#include "serial/com_error_details.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <string_view>

namespace serial {

namespace {

// The C library's French texts for the codes a port fails with, for
// machines without a French locale (a plain Debian installation has none).
struct FrenchText {
  int code;
  const char* text;
};
constexpr FrenchText kFrenchTexts[] = {
    {EPERM, "Opération non permise"},          {ENOENT, "Aucun fichier ou dossier de ce type"},
    {EIO, "Erreur d'entrée/sortie"},           {ENXIO, "Aucun périphérique ou adresse"},
    {EACCES, "Permission non accordée"},       {EBUSY, "Périphérique ou ressource occupé"},
    {ENODEV, "Aucun périphérique de ce type"}, {ETIMEDOUT, "Connexion terminée par expiration du délai d'attente"},
    {ECONNREFUSED, "Connexion refusée"},       {EHOSTUNREACH, "Aucun chemin d'accès pour atteindre l'hôte cible"},
};

// The C library's text in a French locale; empty when none is installed or
// the library has no French texts (it then answers in English).
std::string LocaleText(int system_error) {
  const locale_t french = newlocale(LC_ALL_MASK, "fr_FR.UTF-8", locale_t{});
  if (french == locale_t{}) return {};
  std::string text = strerror_l(system_error, french);
  freelocale(french);
  const char* english = strerrordesc_np(system_error);
  return english && text == english ? std::string() : text;
}

// One line a user can act on, for the failures to open that come from the
// machine rather than from the program.
const char* OpenAdvice(int system_error, std::string_view port) {
  switch (system_error) {
    case EBUSY:
      return "Un autre programme utilise ce port (gpsd par exemple) : pour lire le récepteur à travers gpsd, "
             "choisissez le port gpsd://localhost:2947 dans Configuration.";
    case EACCES:
    case EPERM:
      return "Votre compte n'a pas le droit d'utiliser ce port : ajoutez-le au groupe dialout "
             "(sudo adduser $USER dialout), puis rouvrez votre session.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "Ce port n'existe pas : branchez le récepteur, ou choisissez un autre port dans Configuration.";
    case ECONNREFUSED:
    case ETIMEDOUT:
    case EHOSTUNREACH:
      if (port.starts_with("gpsd://")) return "gpsd ne répond pas à cette adresse : vérifiez qu'il fonctionne.";
      break;
    default:
      break;
  }
  return nullptr;
}

}  // namespace

std::string FrenchSystemErrorText(int system_error) {
  if (std::string text = LocaleText(system_error); !text.empty()) return text;
  for (const FrenchText& t : kFrenchTexts) {
    if (t.code == system_error) return t.text;
  }
  const char* english = strerrordesc_np(system_error);
  return english ? english : "Erreur inconnue";
}

std::string ComErrorDetails(const EComPort& error) {
  if (error.WinErrorCode() < 0) return {};
  std::string details;
  if (!error.PortName().empty()) details = "Port : " + error.PortName() + "\n";
  details += "Code " + std::to_string(error.WinErrorCode()) + " : " + FrenchSystemErrorText(error.WinErrorCode());
  if (error.ErrorCode() == ComError::OpenFailed) {
    if (const char* advice = OpenAdvice(error.WinErrorCode(), error.PortName())) details += std::string("\n") + advice;
  }
  return details;
}

}  // namespace serial
