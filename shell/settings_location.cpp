#include "shell/settings_location.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace shell {
namespace {

std::string with_ini_extension(std::string_view program_path) {
  const size_t slash = program_path.rfind('/');
  const size_t name = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = program_path.rfind('.');
  const size_t stem_end = dot != std::string_view::npos && dot >= name ? dot : program_path.size();
  return std::string(program_path.substr(0, stem_end)) + ".INI";
}

// Folders that hold the programs of a whole system or prefix (/usr/bin,
// /usr/local/bin, /opt/x/bin, ~/.local/bin ...): a settings file there would
// sit among other programs' files, and root could write it there.
bool shared_program_folder(std::string_view program_path) {
  const size_t slash = program_path.rfind('/');
  if (slash == std::string_view::npos) return false;
  const std::string_view folder = program_path.substr(0, slash);
  const std::string_view name = folder.substr(folder.rfind('/') + 1);
  return name == "bin" || name == "sbin" || name == "games" || name == "libexec";
}

std::string environment(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

std::string settings_path_for(std::string_view program_path, bool program_folder_writable,
                              const SettingsEnvironment& env) {
  if (program_folder_writable && !shared_program_folder(program_path)) return with_ini_extension(program_path);
  // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
  std::string config = env.xdg_config_home;
  if (!config.starts_with('/')) config = env.home + "/.config";
  return config + "/orvanta/orvanta.INI";
}

std::string settings_path() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) program = std::filesystem::current_path(error) / "orvanta";
  SettingsEnvironment env{environment("XDG_CONFIG_HOME"), environment("HOME")};
  if (env.home.empty()) {
    if (const passwd* user = ::getpwuid(::getuid())) env.home = user->pw_dir;
  }
  const bool writable = ::access(program.parent_path().c_str(), W_OK) == 0;
  return settings_path_for(program.string(), writable, env);
}

void make_settings_folder(const std::string& settings_path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(settings_path).parent_path(), ignored);
}

}  // namespace shell
