#include "shell/ini_file.h"
#include "common/whole_file.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

void put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string get(const std::string& path) { return common::read_whole_file(path).value_or("<unreadable>"); }

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
// temporary file is left behind. (Tests run as root, which permission bits do
// not stop; a file size limit does.)
TEST(WholeFile, AFailedWriteLeavesThePreviousFileAsItWas) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("orvanta.INI").toStdString();
  const std::string previous = "[Fenetre]\r\nEmplacement Ver.=5\r\n";
  put(path, previous);

  rlimit saved;
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool saved_ok = common::replace_whole_file(path, std::string(5000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

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

TEST(WholeFile, AMissingFileReadsEmptyAndAnUnreadableOneDoesNot) {
  QTemporaryDir dir;
  EXPECT_EQ(common::read_whole_file(dir.filePath("none.INI").toStdString()), "");
  EXPECT_EQ(common::read_whole_file(dir.filePath("none/none.INI").toStdString()), "");
  EXPECT_EQ(common::read_whole_file(dir.path().toStdString()), std::nullopt);
  EXPECT_FALSE(shell::IniFile::read(dir.path().toStdString()));
}
