// Files and settings hold Windows-1252 bytes; the windows show Unicode. These
// two conversions are the only place where one becomes the other.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

// Every byte has a meaning (the five unassigned bytes map to the C1 controls of
// the same value), so decoding never fails and never loses a byte.
QString from_cp1252(std::string_view bytes);

// nullopt when a character has no Windows-1252 byte: callers refuse such text
// instead of writing something else than what the user sees.
std::optional<std::string> to_cp1252(const QString& text);

}  // namespace shell
