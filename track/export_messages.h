// The export command's own words, in French as the program's: what is wrong
// in a faulty line it passes over, and why a file could not be opened or
// written (the C library would say it in the language of the locale).
#pragma once

#include "track/journal_line.h"

#include <string>
#include <string_view>

namespace track {

// What is wrong in a line whose scan stopped at `field` (faulty_field), in
// UTF-8.
std::string_view faulty_field_reason(JournalField field);

// The reason for the system error `error` (an errno value), in UTF-8.
std::string system_reason(int error);

}  // namespace track
