// Files read and written whole: the settings file and the last-position file
// are small and must never be left half-written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

struct WholeFileRead {
  enum class Status {
    kRead,            // `bytes` holds the file; "" when it does not exist (nor its folder)
    kUnreadable,      // it exists but cannot be read (no permission, an I/O error)
    kNotRegularFile,  // a folder, a FIFO, a device, a socket, or a link to one
    kTooLarge,        // more than the bytes asked for
  };
  Status status = Status::kRead;
  std::string bytes;  // empty unless read
};

// The bytes of a regular file, or of the one a link names, of at most
// `max_size` bytes. Anything else is left unread: a FIFO would wait for a
// writer, a terminal for a line, and /dev/zero never ends.
WholeFileRead read_whole_file(const std::string& path, size_t max_size);

// Writes `contents` to a new file in the same folder, flushes it to the medium
// and renames it over `path`, so that `path` holds either its previous bytes or
// all the new ones, whatever fails and whenever the machine stops. On failure
// the new file is removed and false returned. Links, devices and leftovers are
// handled as FileReplacement (file_replacement.h) tells.
bool replace_whole_file(const std::string& path, std::string_view contents);

}  // namespace common
