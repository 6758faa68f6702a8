// Records one fix in the two log files: appends the journal record to log
// file 1 and rewrites log file 2 with the last position.
#pragma once

#include "acquisition/fix_fields.h"

#include <string>

namespace acquisition {

// `path1` and `path2` are native (UTF-8) paths; `line` is the journal record
// without its line end (Ligne_log). A failure on one file never stops the
// other. True only when both records are written and on stable storage: a fix
// reported as recorded survives a power loss. Whatever fails, and wherever the
// program is killed, the journal holds whole records only and log file 2
// holds the previous position or the new one, never nothing. A record always
// starts on a line of its own, whatever the journal ended with, and two
// programs writing the same journal never cut each other's records.
bool Ecriture_fichiers_log(const std::string& path1, const std::string& path2, const std::string& line,
                           const FixFields& fields);

// Whether the file at `path` is one no record is ever written into: a FIFO,
// a socket, a folder or a device other than /dev/null (which a user may name
// to keep no record). A file that does not exist yet is not.
bool refused_log_file(const std::string& path);

}  // namespace acquisition
