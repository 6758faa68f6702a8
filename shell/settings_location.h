// Where the settings file lives: beside the program, named after it with
// ".INI", when the program runs from a folder of its own (a build tree, an
// unpacked folder) that can be written; an installed program (in a bin
// folder such as /usr/bin) or one in a folder it cannot write keeps it in the
// user's configuration folder, root included.
#pragma once

#include <string>
#include <string_view>

namespace shell {

struct SettingsEnvironment {
  std::string xdg_config_home;  // may be empty
  std::string home;
};

// "/opt/orvanta/orvanta" -> "/opt/orvanta/orvanta.INI" when its folder is
// writable; "/usr/bin/orvanta", or a folder not writable, ->
// "$XDG_CONFIG_HOME/orvanta/orvanta.INI" (default
// "~/.config/orvanta/orvanta.INI").
std::string settings_path_for(std::string_view program_path, bool program_folder_writable,
                              const SettingsEnvironment& env);

// The same for the running program and user.
std::string settings_path();

// Creates the folders that hold the settings file (the configuration folder
// may not exist yet). Failure shows later, when the file cannot be written.
void make_settings_folder(const std::string& settings_path);

}  // namespace shell
