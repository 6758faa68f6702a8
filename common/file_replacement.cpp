#include "common/file_replacement.h"

#include "common/posix_io.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace common {
namespace {

// As many links as the kernel itself follows before giving up with ELOOP.
constexpr int kMaxLinks = 40;

// The path that `path` finally names once every symbolic link on the last
// component is followed (a relative target counts from the link's folder).
// Returns 0, ELOOP for a loop of links, or EACCES for a link that may not be
// followed.
int final_target(std::string& path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0 || n == static_cast<ssize_t>(sizeof target)) return 0;  // not a link
    if (is_planted_link(path)) return EACCES;
    std::string next(target, static_cast<size_t>(n));
    path = next.front() == '/' ? next : folder_of(path).append("/").append(next);
  }
  return ELOOP;
}

std::string temp_prefix(const std::string& path) { return path + ".tmp"; }

// The new files of this process's replacements still under way: a file with
// our own pid that is not among them was left by an earlier process that had
// this pid, while one that is may be renamed any moment now.
class TempsUnderWay {
 public:
  void add(const std::string& temp) {
    std::lock_guard lock(mutex_);
    temps_.insert(temp);
  }
  void remove(const std::string& temp) {
    std::lock_guard lock(mutex_);
    temps_.erase(temp);
  }
  bool contains(const std::string& temp) {
    std::lock_guard lock(mutex_);
    return temps_.contains(temp);
  }

 private:
  std::mutex mutex_;
  std::set<std::string> temps_;
};

TempsUnderWay& temps_under_way() {
  static TempsUnderWay temps;
  return temps;
}

// The same name for a new file whether it was made or found in a folder.
std::string temp_key(const std::string& temp) { return folder_of(temp) + "/" + temp.substr(temp.rfind('/') + 1); }

// Whether `name` in `folder` is one of our new files for `base`
// ("<base>.tmp<pid>-<n>") that nobody will ever rename: its process has ended,
// or it is ours and no replacement of ours is writing it.
bool is_stale_temp(const std::string& folder, std::string_view entry, std::string_view base) {
  const std::string prefix = temp_prefix(std::string(base));
  if (!entry.starts_with(prefix)) return false;
  std::string_view name = entry.substr(prefix.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (i != dash && (name[i] < '0' || name[i] > '9')) return false;
  }
  if (dash > 9) return false;  // beyond any pid
  const pid_t pid = static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
  if (pid == ::getpid()) return !temps_under_way().contains(temp_key(folder + "/" + std::string(entry)));
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void remove_stale_temps(const std::string& path) {
  const std::string folder = folder_of(path);
  const size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (is_stale_temp(folder, entry->d_name, base)) ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
  }
}

// A fresh name beside `path`; O_EXCL so that nothing already there (a link
// planted in a shared folder, a leftover) is ever written through.
UniqueFd create_temp(const std::string& path, mode_t mode, std::string& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = temp_prefix(path) + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (fd) temps_under_way().add(temp_key(temp));
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

}  // namespace

bool is_planted_link(const std::string& path) {
  struct stat own, folder;
  if (::lstat(path.c_str(), &own) != 0 || !S_ISLNK(own.st_mode) || ::stat(folder_of(path).c_str(), &folder) != 0)
    return false;
  const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
  return shared && own.st_uid != folder.st_uid && own.st_uid != ::geteuid();
}

std::optional<FileReplacement> FileReplacement::create(const std::string& path) {
  if (path.empty()) {  // names nothing predictable
    errno = ENOENT;
    return std::nullopt;
  }
  std::string target = path;
  if (const int error = final_target(target)) {
    errno = error;
    return std::nullopt;
  }
  const auto in_place = [](const std::string& name) -> std::optional<FileReplacement> {
    UniqueFd fd = open_for_writing(name, O_TRUNC);
    if (!fd) return std::nullopt;
    return FileReplacement(name, {}, std::move(fd));
  };
  // Looked at through `path`, the kernel following the links: a descriptor's
  // link (/dev/stdout, /dev/fd/N on a pipe) leads to "pipe:[N]", which names
  // nothing as a path, so such a file is opened by the name it was given.
  struct stat previous;
  const bool exists = ::stat(path.c_str(), &previous) == 0;
  if (exists) {
    if (S_ISDIR(previous.st_mode)) {
      errno = EISDIR;
      return std::nullopt;
    }
    // A file the user made read-only stays as it is, although its folder
    // would let a rename replace it.
    if (::access(path.c_str(), W_OK) != 0) return std::nullopt;
    if (!S_ISREG(previous.st_mode)) return in_place(path);
  }
  remove_stale_temps(target);
  std::string temp;
  // The replacement of a file is ours alone until it has the file's owner
  // and mode: a descriptor opened on it meanwhile would read what follows.
  UniqueFd fd = create_temp(target, exists ? 0600 : 0666, temp);
  if (!fd) {
    // A folder we may not write to, holding a file we may: the file is
    // rewritten where it stands, less safely, rather than not at all.
    if (exists && (errno == EACCES || errno == EPERM)) return in_place(target);
    return std::nullopt;
  }
  FileReplacement replacement(target, std::move(temp), std::move(fd));
  if (exists) {
    if (::fchown(replacement.fd(), previous.st_uid, previous.st_gid) != 0) {
      // Only root may give a file away: the new file stays ours.
    }
    if (::fchmod(replacement.fd(), previous.st_mode & 07777) != 0) return std::nullopt;
  }
  return replacement;
}

FileReplacement::~FileReplacement() {
  fd_.reset();
  if (temp_.empty()) return;
  ::unlink(temp_.c_str());
  temps_under_way().remove(temp_key(temp_));
}

bool FileReplacement::commit() {
  const bool synced = sync_data(fd_.get());
  if (!fd_.close() || !synced) return false;
  if (temp_.empty()) return true;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  temps_under_way().remove(temp_key(temp_));
  temp_.clear();
  // Makes the rename itself durable. The new file is in place either way, so a
  // failure here is not one of the replacement.
  sync_folder_of(target_);
  return true;
}

}  // namespace common
