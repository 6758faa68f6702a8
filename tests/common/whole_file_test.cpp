#include "common/whole_file.h"

#include "common/file_replacement.h"
#include "common/posix_io.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string get(const std::string& path) { return common::read_whole_file(path, 1 << 20).bytes; }

QStringList entries(const QTemporaryDir& dir) {
  return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

}  // namespace

TEST(WholeFile, ReplacesTheFileKeepingItsPermissions) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("orvanta.INI").toStdString();
  put(path, "old");
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(common::replace_whole_file(path, "new\r\n"));
  EXPECT_EQ(get(path), "new\r\n");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(entries(dir), QStringList{"orvanta.INI"});
}

// The medium filling up midway: the old file stays byte for byte and no
// temporary file is left behind.
TEST(WholeFile, AFailedWriteLeavesThePreviousFileAsItWas) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("orvanta.INI").toStdString();
  const std::string previous = "[Fenetre]\r\nEmplacement Ver.=5\r\n";
  put(path, previous);

  bool saved_ok;
  {
    const testing_support::FileSizeLimit limit(100);
    saved_ok = common::replace_whole_file(path, std::string(5000, 'x'));
  }

  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(get(path), previous);
  EXPECT_EQ(entries(dir), QStringList{"orvanta.INI"});
}

TEST(WholeFile, FailsWhenTheFolderIsMissingOrThePathIsAFolder) {
  QTemporaryDir dir;
  EXPECT_FALSE(common::replace_whole_file(dir.filePath("missing/orvanta.INI").toStdString(), "x"));
  ASSERT_TRUE(QDir(dir.path()).mkdir("orvanta.INI"));
  const std::string folder = dir.filePath("orvanta.INI").toStdString();
  EXPECT_FALSE(common::replace_whole_file(folder, "x"));
  EXPECT_EQ(entries(dir), QStringList{"orvanta.INI"});
  EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
}

// Only a regular file (or a link to one) of a bounded size is read: a FIFO
// would hold the start until a writer comes, /dev/zero would fill the memory.
TEST(WholeFile, ReadsOnlyARegularFileOfBoundedSize) {
  using Status = common::WholeFileRead::Status;
  QTemporaryDir dir;
  const auto at = [&](const char* name) { return dir.filePath(name).toStdString(); };
  put(at("small"), "12345");
  put(at("large"), "123456");
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/zero", at("zero").c_str()), 0);
  ASSERT_EQ(::symlink("small", at("link").c_str()), 0);
  EXPECT_EQ(common::read_whole_file(at("link"), 5).bytes, "12345");
  // /proc files say they are empty, yet have bytes.
  const std::pair<std::string, Status> cases[] = {{at("none"), Status::kRead},
                                                  {at("large"), Status::kTooLarge},
                                                  {"/proc/self/status", Status::kTooLarge},
                                                  {at("fifo"), Status::kNotRegularFile},
                                                  {at("zero"), Status::kNotRegularFile},
                                                  {dir.path().toStdString(), Status::kNotRegularFile}};
  for (const auto& [path, status] : cases) EXPECT_EQ(common::read_whole_file(path, 5).status, status) << path;
}

// A settings file kept elsewhere and linked beside the program: the save
// reaches the link's target, from a new file in the target's own folder, and
// the link stays a link (relative targets count from the link's folder).
TEST(WholeFile, ALinkIsFollowedToItsTargetWhichIsReplacedInItsOwnFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("program"));
  ASSERT_TRUE(QDir(dir.path()).mkdir("kept"));
  const std::string target = dir.filePath("kept/orvanta.INI").toStdString();
  const std::string link = dir.filePath("program/orvanta.INI").toStdString();
  const std::string hop = dir.filePath("program/hop.INI").toStdString();
  put(target, "old");
  ASSERT_EQ(::symlink("../kept/orvanta.INI", hop.c_str()), 0);
  ASSERT_EQ(::symlink(hop.c_str(), link.c_str()), 0);  // a link to a link

  ASSERT_TRUE(common::replace_whole_file(link, "new\r\n"));
  EXPECT_EQ(get(target), "new\r\n");
  EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(hop)).isSymLink());
  EXPECT_EQ(QDir(dir.filePath("kept")).entryList(QDir::Files | QDir::Hidden), QStringList{"orvanta.INI"});
  EXPECT_EQ(QDir(dir.filePath("program")).entryList(QDir::System | QDir::Files | QDir::Hidden).size(), 2);

  // A link to a file not made yet makes it; a loop of links is refused.
  const std::string dangling = dir.filePath("program/new.INI").toStdString();
  ASSERT_EQ(::symlink("../kept/new.INI", dangling.c_str()), 0);
  ASSERT_TRUE(common::replace_whole_file(dangling, "made"));
  EXPECT_EQ(get(dir.filePath("kept/new.INI").toStdString()), "made");
  const std::string loop = dir.filePath("program/loop.INI").toStdString();
  ASSERT_EQ(::symlink("loop.INI", loop.c_str()), 0);
  EXPECT_FALSE(common::replace_whole_file(loop, "x"));
}

// In a sticky folder anyone may write to, a link another user planted there
// is never followed (it would replace a file the user never named): only
// the folder owner's links and the user's own are.
TEST(WholeFile, ALinkPlantedInASharedFolderIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give links away";
  const uid_t us = 0, nobody = 65534, other = 65533;
  struct Case {
    mode_t folder_mode;
    uid_t folder_owner, link_owner;
    bool followed;
  } cases[] = {{01777, us, nobody, false},
               {01777, nobody, other, false},
               {01777, nobody, nobody, true},
               {01777, nobody, us, true},
               {00777, us, nobody, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::oct << c.folder_mode << std::dec << " folder of " << c.folder_owner
                                      << ", link of " << c.link_owner);
    QTemporaryDir dir;
    const std::string shared = dir.filePath("shared").toStdString(), link = shared + "/evil.gpx";
    const std::string victim = dir.filePath("victim").toStdString();
    put(victim, "secret");
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    ASSERT_EQ(::lchown(link.c_str(), c.link_owner, c.link_owner), 0);
    ASSERT_EQ(::chown(shared.c_str(), c.folder_owner, c.folder_owner), 0);
    ASSERT_EQ(::chmod(shared.c_str(), c.folder_mode), 0);
    const bool replaced = common::replace_whole_file(link, "gpx");
    const int error = errno;
    EXPECT_EQ(replaced, c.followed);
    EXPECT_EQ(get(victim), c.followed ? "gpx" : "secret");
    EXPECT_TRUE(c.followed || error == EACCES) << error;
  }
}

// What a kill in the middle of a save leaves behind goes at the next save;
// the new file of another running copy, and files not ours, stay.
TEST(WholeFile, NewFilesOfEndedProcessesAreRemovedAtTheNextReplacement) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("orvanta.INI").toStdString();
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_GT(ended, 0);
  ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
  const std::string left = path + ".tmp" + std::to_string(ended) + "-0";
  const std::string running = path + ".tmp" + std::to_string(getppid()) + "-3";
  const std::string not_ours = path + ".tmp-notes";
  const std::string other_file = dir.filePath("other.INI.tmp" + QString::number(ended) + "-0").toStdString();
  for (const std::string& file : {left, running, not_ours, other_file}) put(file, "x");

  ASSERT_TRUE(common::replace_whole_file(path, "new"));
  EXPECT_EQ(get(path), "new");
  const QStringList remaining = entries(dir);
  EXPECT_EQ(remaining.size(), 4) << remaining.join(' ').toStdString();
  EXPECT_FALSE(remaining.contains(QString::fromStdString(left).section('/', -1)));

  // Our own pid: a new file left by an earlier process that had it goes, the
  // one of a replacement of ours still under way stays.
  const std::string ours_left = path + ".tmp" + std::to_string(getpid()) + "-7";
  put(ours_left, "x");
  std::optional<common::FileReplacement> first = common::FileReplacement::create(path);
  ASSERT_TRUE(first);
  ASSERT_TRUE(common::replace_whole_file(path, "second"));
  EXPECT_FALSE(std::filesystem::exists(ours_left));
  ASSERT_TRUE(common::write_all(first->fd(), "first"));
  EXPECT_TRUE(first->commit());
  EXPECT_EQ(get(path), "first");
}

// Set on the replacement's new file before it takes the file's owner and
// mode: until then nobody else may open it.
int mode_before_fchmod = -1;
extern "C" int fchmod(int fd, mode_t mode) {
  struct stat st {};
  if (::fstat(fd, &st) == 0) mode_before_fchmod = static_cast<int>(st.st_mode & 07777);
  return static_cast<int>(::syscall(SYS_fchmod, fd, mode));
}

TEST(WholeFile, TheNewFileIsTheReplacersAloneUntilItHasTheFilesMode) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("orvanta.INI").toStdString();
  put(path, "old");
  ::chmod(path.c_str(), 0644);
  const mode_t umask_before = ::umask(0);
  EXPECT_TRUE(common::replace_whole_file(path, "new"));
  ::umask(umask_before);
  EXPECT_EQ(mode_before_fchmod, 0600);
}

// A device has nothing to replace: it is written as it stands, and its
// failures are the replacement's.
TEST(WholeFile, ADeviceIsWrittenInPlace) {
  EXPECT_TRUE(common::replace_whole_file("/dev/null", "x"));
  EXPECT_FALSE(common::replace_whole_file("/dev/full", "x"));
  struct stat st;
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A pipe named through a descriptor's link (/dev/stdout, /dev/fd/N), whose
  // own target "pipe:[N]" names no file.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  EXPECT_TRUE(common::replace_whole_file("/dev/fd/" + std::to_string(ends[1]), "piped"));
  ::close(ends[1]);
  char got[16] = {};
  EXPECT_EQ(::read(ends[0], got, sizeof got), 5);
  EXPECT_STREQ(got, "piped");
  ::close(ends[0]);
}
