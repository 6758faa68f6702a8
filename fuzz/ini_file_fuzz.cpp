// libFuzzer target: any bytes as a settings file, read with every key of the
// program's table and rewritten; the rewritten file must read back the same.
#include "shell/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  shell::IniFile ini = shell::IniFile::parse(text);
  const std::string value = ini.read_string("Fichiers", "Fichier log 1", "default");
  const int32_t interval = ini.read_integer("Actions", "Intervalle", 300);
  ini.read_bool("Tracer", "Mise \xE0 jour actif", false);
  ini.write_integer("Actions", "Intervalle", interval);
  if (value.find_first_of("\r\n") == std::string::npos) ini.write_string("Fichiers", "Fichier log 1", value);

  const shell::IniFile again = shell::IniFile::parse(ini.text());
  if (again.read_integer("Actions", "Intervalle", 300) != interval) std::abort();
  if (value.find_first_of("\r\n") == std::string::npos &&
      again.read_string("Fichiers", "Fichier log 1", "default") != value) {
    std::abort();
  }
  return 0;
}
