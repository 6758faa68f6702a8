// Records one fix in the two log files: appends the journal record to log
// file 1 and rewrites log file 2 with the last position.
#pragma once

#include "acquisition/fix_fields.h"

#include <string>

namespace acquisition {

// `path1` and `path2` are native (UTF-8) paths; `line` is the journal record
// without its line end (Ligne_log). Both files are opened before either is
// written, so log file 2 is emptied even when log file 1 fails; a failure on
// one file never stops the other. True only when both records are written
// and on stable storage: a fix reported as recorded survives a power loss.
bool Ecriture_fichiers_log(const std::string& path1, const std::string& path2, const std::string& line,
                           const FixFields& fields);

}  // namespace acquisition
