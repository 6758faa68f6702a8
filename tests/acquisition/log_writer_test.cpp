#include "acquisition/log_writer.h"

#include "acquisition/log_line.h"
#include "common/unique_fd.h"
#include "support/example_fix.h"
#include "support/file_size_limit.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using acquisition::Ecriture_fichiers_log;
using acquisition::FixFields;

namespace {

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

const std::string kExampleRecord = "23/03/2094\t12:35:19\t48\xB0 07' 0380\" N\t011\xB0 31' 0000\" E\t022 noeuds\r\n";
const std::string kExampleLastPosition = "48.07\t011.31\n";

class LogWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orvanta-logs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    journal_ = (dir_ / "journal.txt").string();
    last_ = (dir_ / "last.txt").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  static bool record(const std::string& path1, const std::string& path2, const FixFields& f = example_fix()) {
    return Ecriture_fichiers_log(path1, path2, acquisition::Ligne_log(f), f);
  }

  fs::path dir_;
  std::string journal_;
  std::string last_;
};

// Runs `write` as an unprivileged user, since permission bits do not bind
// root, who runs these tests. nullopt when no user can be switched to.
std::optional<bool> run_unprivileged(const std::function<bool()>& write) {
  if (geteuid() != 0) return write();
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    _exit(write() ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return std::nullopt;
  if (WEXITSTATUS(status) == 2) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(LogWriter, FirstWriteCreatesBothFilesWithTheExactBytes) {
  ASSERT_TRUE(record(journal_, last_));
  EXPECT_EQ(read_bytes(journal_), kExampleRecord);
  EXPECT_EQ(kExampleRecord.size(), 65u);
  EXPECT_EQ(read_bytes(last_), kExampleLastPosition);
}

TEST_F(LogWriter, JournalOnlyGrowsWhileLastPositionIsRewritten) {
  write_bytes(journal_, "earlier run\r\n");
  write_bytes(last_, "a much longer line left by some earlier write\n");

  FixFields second = example_fix();
  second.Aff_seconde = "22";
  second.Aff_lat_minutes = "08";
  second.Aff_lon_degres = "002";
  ASSERT_TRUE(record(journal_, last_));
  ASSERT_TRUE(record(journal_, last_, second));

  EXPECT_EQ(read_bytes(journal_), "earlier run\r\n" + kExampleRecord + acquisition::Ligne_log(second) + "\r\n");
  EXPECT_EQ(read_bytes(last_), "48.08\t002.31\n");
}

// Each file fails on its own: the other is still written, the result is false.
TEST_F(LogWriter, EitherFileFailingLeavesTheOtherWritten) {
  fs::create_directory(dir_ / "folder");
  write_bytes(dir_ / "plain-file", "x");
  const std::string unusable[] = {
      "",                                          // no path at all
      (dir_ / "missing" / "log.txt").string(),     // a folder that does not exist
      (dir_ / "folder").string(),                  // a folder, not a file
      (dir_ / "plain-file" / "log.txt").string(),  // a file used as a folder
      "/dev/full",                                 // opens, but every write fails
  };
  for (const std::string& bad : unusable) {
    SCOPED_TRACE("unusable path: '" + bad + "'");
    write_bytes(last_, "stale\n");
    fs::remove(journal_);

    EXPECT_FALSE(record(bad, last_));
    EXPECT_EQ(read_bytes(last_), kExampleLastPosition);

    EXPECT_FALSE(record(journal_, bad));
    EXPECT_EQ(read_bytes(journal_), kExampleRecord);
  }
}

// A special file that cannot be synced is still a valid destination: a user
// who sends the last position to /dev/null gets no false alarm.
TEST_F(LogWriter, DeviceWithoutSyncIsAccepted) {
  EXPECT_TRUE(record(journal_, "/dev/null"));
  EXPECT_TRUE(record("/dev/null", last_));
  EXPECT_EQ(read_bytes(journal_), kExampleRecord);
  EXPECT_EQ(read_bytes(last_), kExampleLastPosition);
}

// A FIFO, whether its reader is not running or has stopped reading (its
// pipe full), fails at once as any file that cannot be written, instead of
// holding the logger until a reader comes. Run in a child that an alarm
// ends, should the write wait.
TEST_F(LogWriter, AFifoFailsWithoutWaiting) {
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const bool stalled_reader : {false, true}) {
    const common::UniqueFd reader(stalled_reader ? ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1);
    if (stalled_reader) {
      const common::UniqueFd filler(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
      const std::string block(4096, 'x');
      while (::write(filler.get(), block.data(), block.size()) > 0) {
      }
    }
    for (const bool fifo_is_journal : {true, false}) {
      SCOPED_TRACE(::testing::Message() << (fifo_is_journal ? "journal" : "last position")
                                        << (stalled_reader ? ", stalled reader" : ", no reader"));
      const pid_t child = fork();
      if (child == 0) {
        ::alarm(5);
        const bool ok = fifo_is_journal ? record(fifo.string(), last_) : record(journal_, fifo.string());
        _exit(ok ? 0 : 1);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status)) << "still waiting on the FIFO";
      EXPECT_EQ(WEXITSTATUS(status), 1);
    }
  }
  EXPECT_EQ(read_bytes(journal_), kExampleRecord + kExampleRecord);
  EXPECT_EQ(read_bytes(last_), kExampleLastPosition);
}

TEST_F(LogWriter, ReadOnlyJournalFailsAndKeepsItsContent) {
  write_bytes(journal_, "kept\r\n");
  fs::permissions(dir_, fs::perms::all);  // the last-position file stays writable
  fs::permissions(journal_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  const std::optional<bool> ok = run_unprivileged([&] { return record(journal_, last_); });
  if (!ok) GTEST_SKIP() << "cannot switch to an unprivileged user";
  EXPECT_FALSE(*ok);
  EXPECT_EQ(read_bytes(journal_), "kept\r\n");
  EXPECT_EQ(read_bytes(last_), kExampleLastPosition);
}

namespace {

// A 16 KiB file system of its own (four pages), unmounted whatever the test
// does. Only root may mount one.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const fs::path& where) : where_(where) {
    fs::create_directory(where_);
    mounted_ = geteuid() == 0 && ::mount("tmpfs", where_.c_str(), "tmpfs", 0, "size=16k") == 0;
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path where_;
  bool mounted_ = false;
};

// Fills the medium to the last byte.
void fill(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(512, 'f');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  ::close(fd);
}

}  // namespace

// The medium fills up in the middle of a record: the journal is cut back to
// its previous bytes, so the next record does not land on a fragment, and the
// last-position file keeps the previous position instead of being emptied.
TEST_F(LogWriter, ARecordThatDoesNotFitLeavesBothFilesAsTheyWere) {
  SmallTmpfs medium(dir_ / "small");
  if (!medium.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
  const fs::path journal = dir_ / "small" / "journal.txt";
  const fs::path last = dir_ / "small" / "last.txt";
  // 30 bytes left in the journal's page: a record starts there, then runs out.
  const std::string before = std::string(4096 - 32, 'j') + "\r\n";
  write_bytes(journal, before);
  write_bytes(last, "47.00\t010.00\n");
  fill(dir_ / "small" / "filler");

  EXPECT_FALSE(record(journal, last));
  EXPECT_EQ(read_bytes(journal), before);
  EXPECT_EQ(read_bytes(last), "47.00\t010.00\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "small"), fs::directory_iterator()), 3)
      << "no new file left behind";

  fs::remove(dir_ / "small" / "filler");
  EXPECT_TRUE(record(journal, last));
  EXPECT_EQ(read_bytes(journal), before + kExampleRecord);
  EXPECT_EQ(read_bytes(last), kExampleLastPosition);
}

// The same short write without a file system of its own: a file size limit
// stops the record after its first bytes.
TEST_F(LogWriter, AShortWriteIsCutBackFromTheJournal) {
  write_bytes(journal_, "kept\r\n");
  write_bytes(last_, "47.00\t010.00\n");
  bool ok;
  {
    const testing_support::FileSizeLimit limit(30);
    ok = record(journal_, last_);
  }

  EXPECT_FALSE(ok);
  EXPECT_EQ(read_bytes(journal_), "kept\r\n");
  EXPECT_EQ(read_bytes(last_), kExampleLastPosition) << "a short file is still within the limit";
}

// A last-position file the user may write in a folder he may not: it cannot
// be replaced, so it is rewritten where it stands, as it always was.
TEST_F(LogWriter, ALastPositionFileInAClosedFolderIsStillWritten) {
  fs::create_directory(dir_ / "closed");
  const fs::path last = dir_ / "closed" / "last.txt";
  write_bytes(last, "47.00\t010.00\n");
  fs::permissions(last, fs::perms::all);
  fs::permissions(dir_ / "closed", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(dir_, fs::perms::all);

  const std::optional<bool> ok = run_unprivileged([&] { return record(journal_, last.string()); });
  if (!ok) GTEST_SKIP() << "cannot switch to an unprivileged user";
  EXPECT_TRUE(*ok);
  EXPECT_EQ(read_bytes(last), kExampleLastPosition);
}

// Whatever the journal ends with (a copy cut short, another program's write),
// the next record starts on a line of its own; cases: held, then kept.
TEST_F(LogWriter, ARecordAlwaysStartsOnALineOfItsOwn) {
  const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                       {"kept\r\n", "kept\r\n"},
                                                       {"kept\n", "kept\n"},
                                                       {"23/03/2094\t12:3", "23/03/2094\t12:3\r\n"},
                                                       {"cut after its CR\r", "cut after its CR\r\r\n"}};
  const std::string two_records = kExampleRecord + kExampleRecord;
  for (const auto& [before, kept] : cases) {
    write_bytes(journal_, before);
    ASSERT_TRUE(record(journal_, last_) && record(journal_, last_));
    EXPECT_EQ(read_bytes(journal_), kept + two_records);
  }
}

// Two programs recording into one journal: while one holds it for a record,
// the other waits, so a short write cut back never takes the other's record.
TEST_F(LogWriter, TwoWritersOfOneJournalNeverCutEachOtherBack) {
  write_bytes(journal_, "kept\r\n");
  const int other = ::open(journal_.c_str(), O_WRONLY | O_APPEND);
  ASSERT_TRUE(other >= 0 && ::flock(other, LOCK_EX) == 0 && ::write(other, kExampleRecord.data(), 20) == 20);
  // This writer's record stops short, at a size limit just past the other's.
  const pid_t child = fork();
  if (child == 0) {
    ::close(other);  // the lock belongs to the other writer alone
    const testing_support::FileSizeLimit limit(6 + kExampleRecord.size() + 30);
    _exit(record(journal_, last_) ? 0 : 1);
  }
  ::usleep(300 * 1000);
  EXPECT_EQ(read_bytes(journal_), "kept\r\n" + kExampleRecord.substr(0, 20)) << "written while locked";
  ASSERT_EQ(::write(other, kExampleRecord.data() + 20, 45), 45);
  ::close(other);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the short write is a failure";
  EXPECT_EQ(read_bytes(journal_), "kept\r\n" + kExampleRecord);
}
