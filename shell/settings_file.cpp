#include "shell/settings_file.h"

#include "common/cp1252.h"
#include "common/whole_file.h"
#include "shell/ini_file.h"
#include "shell/settings_location.h"

#include <QDir>
#include <QString>
#include <stdexcept>

namespace shell {

namespace {

using FileStatus = common::WholeFileRead::Status;

// Far more than the program and a user's notes need, and little enough to
// read at every start.
constexpr size_t kSettingsFileLimit = size_t{1} << 20;

// A home folder with no Windows-1252 spelling leaves the default log files as
// bare names rather than as a path that means another folder.
std::string home_folder() { return common::to_cp1252(QDir::homePath().toStdU16String()).value_or(std::string()); }

[[noreturn]] void cannot_write(const std::string& path) {
  throw std::runtime_error("Impossible d'écrire dans " + path);
}

std::optional<std::string> refusal(FileStatus status, const std::string& path) {
  const char* why = status == FileStatus::kNotRegularFile ? " n'est pas un fichier ordinaire"
                    : status == FileStatus::kTooLarge     ? " dépasse 1 Mio"
                                                          : nullptr;
  if (!why) return std::nullopt;
  return "Le fichier de paramètres " + path + why +
         " : Orvanta démarre avec les réglages par défaut et ne le modifiera pas";
}

}  // namespace

std::string settings_path_bytes(const std::u16string& path) {
  const std::optional<std::string> bytes = common::to_cp1252(path);
  if (!bytes || bytes->find_first_of("\r\n") != std::string::npos) {
    throw std::runtime_error("Impossible d'enregistrer le chemin " + QString::fromStdU16String(path).toStdString() +
                             " : il contient un caractère que le fichier de paramètres ne peut pas garder"
                             " (hors Windows-1252 ou saut de ligne)");
  }
  return *bytes;
}

SettingsRead read_settings_file(const std::string& path) {
  const IniFile::Read file = IniFile::read(path, kSettingsFileLimit);
  return {load_settings(file.ini, home_folder()), refusal(file.status, path)};
}

void write_settings_file(const std::string& path, const Settings& settings) {
  // The file is read again so that what was added to it by hand, or by
  // another copy of the program, survives; one that exists but cannot be read
  // is not replaced by what little the program knows. One the read refused
  // stays as it is, as the user was told at start.
  make_settings_folder(path);
  IniFile::Read file = IniFile::read(path, kSettingsFileLimit);
  if (refusal(file.status, path)) return;
  if (file.status != FileStatus::kRead) cannot_write(path);
  store_settings(settings, file.ini);
  if (!file.ini.save(path)) cannot_write(path);
}

}  // namespace shell
