// A profile (INI) file held in memory as its lines, read and written with the
// Windows profile rules: names match ignoring ASCII letter case, blanks around
// a value and one pair of matching quotes are not part of it, and writing
// changes only the line of the key written, so every line the program does not
// know survives. Bytes are Windows-1252 and stay bytes here.
#pragma once

#include "common/whole_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

class IniFile {
 public:
  // Longest text a read returns; longer values are cut.
  static constexpr size_t kMaxText = 2047;

  // Accepts LF or CR LF line ends, and skips the UTF-8 byte-order mark that
  // some editors put first (it would hide the first section).
  static IniFile parse(std::string_view text);
  // The file at `path` as read_whole_file (whole_file.h) finds it, at most
  // `max_size` bytes; a missing file reads as an empty one. Whatever was not
  // read leaves `ini` empty, and a save must not replace what it never saw.
  struct Read;
  static Read read(const std::string& path, size_t max_size);

  // The whole file, every line ended by CR LF.
  std::string text() const;
  // Replaces the file at `path` as a whole or not at all: a failure (medium
  // full, folder missing or not writable) leaves the previous file as it was.
  bool save(const std::string& path) const;

  bool has_key(std::string_view section, std::string_view key) const;
  // A missing key gives `fallback`; a key present with nothing after "=" gives "".
  std::string read_string(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Decimal with optional sign, or hexadecimal after "0x", "0X" or "$"; the
  // whole value must be the number and fit 32 bits, otherwise `fallback`.
  int32_t read_integer(std::string_view section, std::string_view key, int32_t fallback) const;
  // An integer by the rule above; non-zero is true.
  bool read_bool(std::string_view section, std::string_view key, bool fallback) const;

  // Updates the key's line in place, or adds the key after the last key of its
  // section, or adds the section at the end of the file. A value holding a line
  // break cannot be stored and throws std::invalid_argument.
  void write_string(std::string_view section, std::string_view key, std::string_view value);
  void write_integer(std::string_view section, std::string_view key, int32_t value);
  void write_bool(std::string_view section, std::string_view key, bool value);

 private:
  struct Place {
    std::optional<size_t> section;  // line of the section's header
    std::optional<size_t> key;      // line of the key
    size_t end = 0;                 // where a new key of the section goes
  };
  Place find(std::string_view section, std::string_view key) const;
  std::optional<std::string_view> raw_value(std::string_view section, std::string_view key) const;

  std::vector<std::string> lines_;
};

struct IniFile::Read {
  common::WholeFileRead::Status status;
  IniFile ini;
};

}  // namespace shell
