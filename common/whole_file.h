// Files read and written whole: the settings file and the last-position file
// are small and must never be left half-written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// The file's bytes; "" when it does not exist (nor its folder); nullopt when
// it exists but cannot be read (a folder, no permission, an I/O error).
std::optional<std::string> read_whole_file(const std::string& path);

// Writes `contents` to a new file in the same folder, flushes it to the medium
// and renames it over `path`, so that `path` holds either its previous bytes or
// all the new ones, whatever fails and whenever the machine stops. On failure
// the new file is removed and false returned. Links, devices and leftovers are
// handled as FileReplacement (file_replacement.h) tells.
bool replace_whole_file(const std::string& path, std::string_view contents);

}  // namespace common
