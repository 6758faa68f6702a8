// Small POSIX file steps shared by the writers that must not lose data: the
// journal writer and the whole-file replacement.
#pragma once

#include "common/unique_fd.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace common {

// Opens `path` with `flags` | O_WRONLY | O_CLOEXEC | O_NOCTTY without
// waiting: a FIFO that nobody reads fails at once (ENXIO) and a serial line
// without carrier opens, where a plain open would hold the caller (the
// window's thread) for as long as that lasts. Writes then wait as usual.
UniqueFd open_for_writing(const std::string& path, int flags, mode_t mode = 0666);

// Writes all of `bytes`, going on after short writes and interruptions.
bool write_all(int fd, std::string_view bytes);

// Flushes the file's data (and the size that reaches it) to the medium. A
// device that has nothing to flush, such as /dev/null (EINVAL), counts as
// flushed: the bytes went where they were sent.
bool sync_data(int fd);

// The folder part of `path`: "." for a bare name, "/" for a name at the root.
std::string folder_of(const std::string& path);

// Syncs the folder that holds `path`, so that a file created or renamed there
// keeps its name after a power loss.
bool sync_folder_of(const std::string& path);

}  // namespace common
