// Who else holds a tty. The port opens its device not shared, but a tty has
// no share mode: root opens it whatever TIOCEXCL says, and most programs
// (gpsd among them) never set TIOCEXCL. A second reader takes bytes from the
// first, so each gets parts of sentences and neither gets fixes.
#pragma once

#include <string>

namespace serial {

// Whether a process other than this one has the file at `path` (links
// followed) open, as far as this process may see: root sees every process,
// a user only their own (the others' ttys refuse the user anyway, or make
// themselves exclusive). `proc` is the process file system's root.
bool held_by_another_process(const std::string& path, const std::string& proc = "/proc");

// Whether the open tty was made exclusive (TIOCEXCL) by whoever holds it.
bool is_exclusive(int tty_fd);

}  // namespace serial
