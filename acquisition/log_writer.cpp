#include "acquisition/log_writer.h"

#include "acquisition/log_line.h"
#include "common/posix_io.h"
#include "common/unique_fd.h"
#include "common/whole_file.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace acquisition {

namespace {

// How long a record waits for another writer of the same journal (a second
// copy of the program on another port) to finish its record: that one holds
// the lock for one write and one flush, milliseconds on any medium that
// works. Past this the record fails as any other write does, so the cycle is
// never held for long.
constexpr std::chrono::milliseconds kLockWait(2000);
constexpr std::chrono::milliseconds kLockRetry(10);

// Whether a log file may be written where it stands: a regular file, or
// /dev/null for a user who wants no record kept. A FIFO, a socket or another
// device could keep the window's thread waiting in a write (a reader that
// stopped reading, a line on hold) or take the records where nobody keeps
// them: such a file fails the record as an unwritable one does.
bool may_log_into(const struct stat& file) {
  return S_ISREG(file.st_mode) || (S_ISCHR(file.st_mode) && file.st_rdev == makedev(1, 3));
}

// Opens with mode 0666 less the umask, like any file the user creates. An
// empty path is refused here: it would otherwise name nothing predictable.
common::UniqueFd open_journal(const std::string& path, int flags) {
  if (path.empty()) return common::UniqueFd();
  return common::open_for_writing(path, flags | O_APPEND);
}

// Takes the journal for one record. False only when another writer keeps it
// past kLockWait; a file system without flock is written unlocked, as it
// always was.
bool lock_journal(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockRetry);
  }
}

// Whether the journal's last byte is not a LF: a copy cut short, a truncation
// or another program's write left a fragment there. Read through a second
// descriptor, the journal's own being write-only; a journal that may not be
// read is taken as ending its line.
bool ends_mid_line(int fd, off_t size) {
  if (size == 0) return false;
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  common::UniqueFd reader;
  do {
    reader.reset(::open(self.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  } while (!reader && errno == EINTR);
  if (!reader) return false;
  char last = '\n';
  ssize_t n;
  do {
    n = ::pread(reader.get(), &last, 1, size - 1);
  } while (n < 0 && errno == EINTR);
  return n == 1 && last != '\n';
}

// Appends the record whole or not at all: a full medium can take the first
// bytes of a record and refuse the rest, and the next record would then be
// glued onto that fragment and lost to the reader. The journal is cut back to
// the size it had before the record. Another writer of the same journal waits
// on the lock meanwhile, so the cut never takes its record away. A record
// after a fragment starts on a line of its own: the fragment is then one
// faulty line, and every record after it stays readable.
bool append_record(common::UniqueFd fd, std::string record) {
  struct stat before;
  if (::fstat(fd.get(), &before) != 0 || !may_log_into(before)) return false;
  if (!S_ISREG(before.st_mode)) {  // /dev/null: nothing to lock or cut back
    const bool ok = common::write_all(fd.get(), record) && common::sync_data(fd.get());
    return fd.close() && ok;
  }
  // The size is taken again under the lock: another writer may have added a
  // record while this one waited.
  if (!lock_journal(fd.get()) || ::fstat(fd.get(), &before) != 0) return false;
  if (ends_mid_line(fd.get(), before.st_size)) record.insert(0, "\r\n");
  const bool ok = common::write_all(fd.get(), record) && common::sync_data(fd.get());
  if (!ok && ::ftruncate(fd.get(), before.st_size) == 0) common::sync_data(fd.get());
  return fd.close() && ok;  // the close lets the lock go, after any cut
}

}  // namespace

bool refused_log_file(const std::string& path) {
  struct stat file {};
  return ::stat(path.c_str(), &file) == 0 && !may_log_into(file);
}

bool Ecriture_fichiers_log(const std::string& path1, const std::string& path2, const std::string& line,
                           const FixFields& fields) {
  bool result = true;

  // The journal is opened without O_CREAT first to learn whether this write
  // creates it, and so whether its folder must be synced too.
  bool journal_created = false;
  common::UniqueFd journal = open_journal(path1, 0);
  if (!journal && errno == ENOENT && !path1.empty()) {
    journal = open_journal(path1, O_CREAT);
    journal_created = static_cast<bool>(journal);
  }
  // A new file's name lives in its folder: without syncing the folder, the
  // first record of a new journal could vanish with the file at a power loss.
  if (!journal || !append_record(std::move(journal), line + "\r\n") ||
      (journal_created && !common::sync_folder_of(path1))) {
    result = false;
  }

  // Replaced whole, never truncated first: killed at any moment, the file
  // holds the previous position or the new one. Written from its first byte,
  // it never starts on what was there before.
  if (refused_log_file(path2) || !common::replace_whole_file(path2, last_position_line(fields))) result = false;
  return result;
}

}  // namespace acquisition
