#include "shell/ini_file.h"

#include "common/whole_file.h"

#include <stdexcept>

namespace shell {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// Letters of Windows-1252 fold to small letters, accented ones included, as
// profile names compare: "MISE \xC0 JOUR" names the key "Mise \xE0 jour". A
// table of the code page, not the C locale, decides what is a letter.
char fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
  if (u == 0x8A || u == 0x8C || u == 0x8E) return static_cast<char>(u + 0x10);  // Š Œ Ž
  if (u == 0x9F) return static_cast<char>(0xFF);                                // Ÿ
  return c;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// "[name]" with blanks allowed around the brackets and the name.
std::optional<std::string_view> section_of(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;  // as written, blanks included
};

std::optional<KeyLine> key_of(std::string_view line) {
  if (section_of(line)) return std::nullopt;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trim(line.substr(0, eq)), line.substr(eq + 1)};
}

// The value as a read returns it: without surrounding blanks, then without one
// pair of matching quotes.
std::string_view unquote(std::string_view value) {
  value = trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

std::optional<int32_t> parse_integer(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.starts_with('$')) {
    base = 16;
    s.remove_prefix(1);
  } else if (s.starts_with("0x") || s.starts_with("0X")) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  constexpr int64_t kLimit = int64_t{1} << 31;
  int64_t magnitude = 0;
  for (char c : s) {
    const int d = digit_value(c);
    if (d >= base) return std::nullopt;
    magnitude = magnitude * base + d;
    if (magnitude > kLimit) return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value >= kLimit) return std::nullopt;
  return static_cast<int32_t>(value);
}

// A value that a read would not give back unchanged (blanks at either end, or
// wrapped in a pair of quotes already) is written inside double quotes, which
// the read removes again; a path such as "/data/ log" then survives.
std::string stored_form(std::string_view value) {
  std::string stored(value);
  if (unquote(value).size() != value.size()) {
    stored.insert(stored.begin(), '"');
    stored.push_back('"');
  }
  return stored;
}

std::string key_line(std::string_view key, std::string_view value) {
  std::string line(key);
  line.push_back('=');
  line.append(stored_form(value));
  return line;
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty()) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ini.lines_.emplace_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return ini;
}

IniFile::Read IniFile::read(const std::string& path, size_t max_size) {
  const common::WholeFileRead file = common::read_whole_file(path, max_size);
  return {file.status, parse(file.bytes)};
}

std::string IniFile::text() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

bool IniFile::save(const std::string& path) const { return common::replace_whole_file(path, text()); }

// The first section of that name is the one read and written, as later
// duplicates are for the profile functions.
IniFile::Place IniFile::find(std::string_view section, std::string_view key) const {
  Place place;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = section_of(lines_[i])) {
      if (place.section) break;
      if (same_name(*name, section)) place.section = place.end = i;
      continue;
    }
    if (!place.section) continue;
    if (const auto k = key_of(lines_[i])) {
      place.end = i;
      if (same_name(k->key, key)) {
        place.key = i;
        break;
      }
    }
  }
  ++place.end;
  return place;
}

std::optional<std::string_view> IniFile::raw_value(std::string_view section, std::string_view key) const {
  const Place place = find(section, key);
  if (!place.key) return std::nullopt;
  return key_of(lines_[*place.key])->value;
}

bool IniFile::has_key(std::string_view section, std::string_view key) const {
  return raw_value(section, key).has_value();
}

std::string IniFile::read_string(std::string_view section, std::string_view key, std::string_view fallback) const {
  const auto raw = raw_value(section, key);
  if (!raw) return std::string(fallback);
  return std::string(unquote(*raw).substr(0, kMaxText));
}

int32_t IniFile::read_integer(std::string_view section, std::string_view key, int32_t fallback) const {
  const auto raw = raw_value(section, key);
  if (!raw) return fallback;
  return parse_integer(unquote(*raw)).value_or(fallback);
}

bool IniFile::read_bool(std::string_view section, std::string_view key, bool fallback) const {
  return read_integer(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::write_string(std::string_view section, std::string_view key, std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw std::invalid_argument("a profile value cannot hold a line break");
  }
  const Place place = find(section, key);
  if (place.key) {
    // The key keeps its spelling from the file; only the value changes.
    const std::string spelled(key_of(lines_[*place.key])->key);
    lines_[*place.key] = key_line(spelled, value);
    return;
  }
  std::string line = key_line(key, value);
  if (place.section) {
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(place.end), std::move(line));
    return;
  }
  std::string header(1, '[');
  header.append(section).push_back(']');
  lines_.push_back(std::move(header));
  lines_.push_back(std::move(line));
}

void IniFile::write_integer(std::string_view section, std::string_view key, int32_t value) {
  write_string(section, key, std::to_string(value));
}

void IniFile::write_bool(std::string_view section, std::string_view key, bool value) {
  write_string(section, key, value ? "1" : "0");
}

}  // namespace shell
