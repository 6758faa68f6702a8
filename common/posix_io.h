// Small POSIX file steps shared by the writers that must not lose data: the
// journal writer and the whole-file replacement.
#pragma once

#include <string>
#include <string_view>

namespace common {

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
