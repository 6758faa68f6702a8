// Where the settings file lives: beside the program, named after it with
// ".INI", unless that folder cannot be written; then in the user's
// configuration folder.
#pragma once

#include <string>
#include <string_view>

namespace shell {

struct SettingsEnvironment {
  std::string xdg_config_home;  // may be empty
  std::string home;
};

// "/opt/orvanta/orvanta" -> "/opt/orvanta/orvanta.INI" when its folder is
// writable, else "$XDG_CONFIG_HOME/orvanta/orvanta.INI" (default
// "~/.config/orvanta/orvanta.INI").
std::string settings_path_for(std::string_view program_path, bool program_folder_writable,
                              const SettingsEnvironment& env);

// The same for the running program and user.
std::string settings_path();

// Creates the folders that hold the settings file (the configuration folder
// may not exist yet). Failure shows later, when the file cannot be written.
void make_settings_folder(const std::string& settings_path);

}  // namespace shell
