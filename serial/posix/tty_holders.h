// Who else holds a tty. The port opens its device not shared, but a tty has
// no share mode: root opens it whatever TIOCEXCL says, and most programs
// (gpsd among them) never set TIOCEXCL. A second reader takes bytes from the
// first, so each gets parts of sentences and neither gets fixes. A tty that
// is a process's controlling terminal is a person's terminal or a login's:
// set raw at a receiver's speed, it would be theirs no more.
#pragma once

#include <string>
#include <sys/types.h>

namespace serial {

// Whether the tty with the device number `device` is some process's
// controlling terminal (this one's included), or open in a process other
// than this one, as far as this process may see: root sees every process, a
// user only their own (the others' ttys refuse the user anyway, or make
// themselves exclusive). Descriptors are compared by the device they lead
// to, whatever name opened it. `proc` is the process file system's root.
//
// It reads /proc/PID/stat and /proc/PID/fd of every process: about a
// millisecond per 30 processes, more where they hold many descriptors.
bool held_by_another_process(dev_t device, const std::string& proc = "/proc");

// Whether the open tty was made exclusive (TIOCEXCL) by whoever holds it.
bool is_exclusive(int tty_fd);

}  // namespace serial
