#include "acquisition/log_writer.h"

#include "acquisition/log_line.h"
#include "common/posix_io.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace acquisition {

namespace {

// Opens with mode 0666 less the umask, like any file the user creates. An
// empty path is refused here: it would otherwise name nothing predictable.
int open_log(const std::string& path, int flags) {
  if (path.empty()) return -1;
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC | O_NOCTTY, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// EINVAL means a special file such as /dev/null, which has nothing to make
// durable: the record went where the user asked.
bool make_durable(int fd) {
  int rc;
  do {
    rc = ::fdatasync(fd);
  } while (rc != 0 && errno == EINTR);
  return rc == 0 || errno == EINVAL;
}

// On Linux the descriptor is released even when close reports EINTR, and the
// data was already synced, so only other errors count.
bool close_log(int fd) { return ::close(fd) == 0 || errno == EINTR; }

// Writes, syncs and closes; every step is tried so the descriptor never leaks.
bool finish(int fd, std::string_view bytes) {
  bool ok = common::write_all(fd, bytes);
  ok = ok && make_durable(fd);
  return close_log(fd) && ok;
}

}  // namespace

bool Ecriture_fichiers_log(const std::string& path1, const std::string& path2, const std::string& line,
                           const FixFields& fields) {
  bool result = true;

  // The journal is opened without O_CREAT first to learn whether this write
  // creates it, and so whether its folder must be synced too.
  bool journal_created = false;
  int log1 = open_log(path1, O_APPEND);
  if (log1 < 0 && errno == ENOENT && !path1.empty()) {
    log1 = open_log(path1, O_APPEND | O_CREAT);
    journal_created = log1 >= 0;
  }
  if (log1 < 0) result = false;

  const int log2 = open_log(path2, O_CREAT | O_TRUNC);
  if (log2 < 0) result = false;

  if (log1 >= 0) {
    if (!finish(log1, line + "\r\n")) result = false;
    // A new file's name lives in its folder: without syncing the folder, the
    // first record of a new journal could vanish with the file at a power loss.
    else if (journal_created && !common::sync_folder_of(path1)) result = false;
  }
  if (log2 >= 0 && !finish(log2, last_position_line(fields))) result = false;
  return result;
}

}  // namespace acquisition
