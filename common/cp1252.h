// Files and settings hold Windows-1252 bytes; the windows show Unicode. These
// two conversions are the only place where one becomes the other (windows wrap
// the UTF-16 text in a QString with QString::fromStdU16String / toStdU16String).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// Every byte has a meaning (the five unassigned bytes map to the C1 controls of
// the same value), so decoding never fails and never loses a byte.
std::u16string from_cp1252(std::string_view bytes);

// nullopt when a character has no Windows-1252 byte: callers refuse such text
// instead of writing something else than what the user sees.
std::optional<std::string> to_cp1252(std::u16string_view text);

}  // namespace common
