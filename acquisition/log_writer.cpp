#include "acquisition/log_writer.h"

#include "acquisition/log_line.h"
#include "common/posix_io.h"
#include "common/unique_fd.h"
#include "common/whole_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace acquisition {

namespace {

// Opens with mode 0666 less the umask, like any file the user creates. An
// empty path is refused here: it would otherwise name nothing predictable.
common::UniqueFd open_journal(const std::string& path, int flags) {
  if (path.empty()) return common::UniqueFd();
  return common::open_for_writing(path, flags | O_APPEND);
}

// Appends the record whole or not at all: a full medium can take the first
// bytes of a record and refuse the rest, and the next record would then be
// glued onto that fragment and lost to the reader. The journal is cut back to
// the size it had when opened. Every step is tried so the descriptor never
// leaks.
bool append_record(common::UniqueFd fd, const std::string& record) {
  struct stat before;
  const bool sized = ::fstat(fd.get(), &before) == 0;
  bool ok = sized && common::write_all(fd.get(), record) && common::sync_data(fd.get());
  if (!ok && sized && S_ISREG(before.st_mode) && ::ftruncate(fd.get(), before.st_size) == 0) {
    common::sync_data(fd.get());
  }
  return fd.close() && ok;
}

}  // namespace

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
  if (!journal) {
    result = false;
  } else if (!append_record(std::move(journal), line + "\r\n")) {
    result = false;
  } else if (journal_created && !common::sync_folder_of(path1)) {
    // A new file's name lives in its folder: without syncing the folder, the
    // first record of a new journal could vanish with the file at a power loss.
    result = false;
  }

  // Replaced whole, never truncated first: killed at any moment, the file
  // holds the previous position or the new one.
  if (!common::replace_whole_file(path2, last_position_line(fields))) result = false;
  return result;
}

}  // namespace acquisition
