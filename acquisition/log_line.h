// The two record formats of a fix: the journal line and the last-position
// line. Both are Windows-1252 bytes built from the display field texts as the
// decoder copied them: the viewer reads the journal back by these exact bytes.
#pragma once

#include "acquisition/fix_fields.h"

#include <string>

namespace acquisition {

// The journal record without its line end, e.g. (TAB shown as \t)
// 23/03/2094\t12:35:19\t48\xB0 07' 0380" N\t011\xB0 31' 0000" E\t022 noeuds
std::string Ligne_log(const FixFields& fields);

// The last-position line, LF included: degrees "." whole minutes of latitude,
// TAB, the same of longitude.
std::string last_position_line(const FixFields& fields);

}  // namespace acquisition
