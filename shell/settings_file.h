// The settings file <-> the program's Settings value.
#pragma once

#include "shell/settings.h"

#include <optional>
#include <string>
#include <vector>

namespace shell {

struct SettingsRead {
  Settings settings;
  // Why the file was refused, for the user to be told once; nullopt when it
  // was read or absent.
  std::optional<std::string> refusal;
};

// Reads the file once at the main window's first show. A missing or
// unreadable file gives every setting its default. So does one that is no
// regular file (a FIFO, a device) or larger than 1 MiB, which is never read
// nor written; the reason is returned.
SettingsRead read_settings_file(const std::string& path);
// Writes every setting at the main window's close; throws when the file
// cannot be written ("Impossible d'écrire dans <path>"), leaving the previous
// file as it was. A file the read refused is left alone.
void write_settings_file(const std::string& path, const Settings& settings);

// A log path as the settings file keeps it (Windows-1252); throws, naming the
// path, when it has a character the file cannot keep.
std::string settings_path_bytes(const std::u16string& path);

}  // namespace shell
