// The tools behave as command-line programs: help, version, usage errors, and
// input that would make them misbehave refused with a clear message.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status = -1;
  QString out;
  QString err;
};

// Runs a tool of the build tree in `folder` and waits (at most 10 s) for its end.
ToolRun run_tool(const QString& tool, const QStringList& args, const QString& folder = QString()) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(QString(ORVANTA_TOOLS_DIR) + "/" + tool, args);
  ToolRun run;
  if (!process.waitForFinished(10000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  if (process.exitStatus() == QProcess::NormalExit) run.status = process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

class EveryTool : public ::testing::TestWithParam<const char*> {};

TEST_P(EveryTool, AnswersHelpVersionAndBadOptionsAsCommandLineProgramsDo) {
  QTemporaryDir folder;
  const QString tool = GetParam();
  const QString usage = "Utilisation : " + tool;
  const ToolRun help = run_tool(tool, {"--help"}, folder.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith(usage)) << help.out.toStdString();
  EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

  const ToolRun short_help = run_tool(tool, {"-h"}, folder.path());
  EXPECT_EQ(short_help.status, 0);
  EXPECT_EQ(short_help.out, help.out);

  const ToolRun version = run_tool(tool, {"--version"}, folder.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.contains(QRegularExpression("^" + tool + " \\(Orvanta\\) \\d+\\.\\d+")))
      << version.out.toStdString();

  const ToolRun bad = run_tool(tool, {"--no-such-option"}, folder.path());
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(bad.out.isEmpty()) << bad.out.toStdString();
  EXPECT_TRUE(bad.err.contains(usage)) << bad.err.toStdString();
  EXPECT_TRUE(bad.err.contains(QString::fromUtf8("option inconnue « --no-such-option »"))) << bad.err.toStdString();

  // No option is ever taken for a file name to write.
  EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Tools, EveryTool,
                         ::testing::Values("orvanta-nmea-replay", "orvanta-journal-generator", "orvanta-port-list"),
                         [](const ::testing::TestParamInfo<const char*>& tool_info) {
                           std::string name = tool_info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// A device or a pipe is refused, a file is read as a stream in bounded
// memory, and one with nothing to send is refused rather than looped over.
TEST(ReplayTool, RefusesAFileWithNothingToSendInsteadOfSpinning) {
  QTemporaryDir folder;
  const fs::path empty = fs::path(folder.path().toStdString()) / "empty.nmea";
  const fs::path comments = fs::path(folder.path().toStdString()) / "comments.nmea";
  const fs::path endless = fs::path(folder.path().toStdString()) / "endless.nmea", fifo = endless.string() + ".fifo";
  std::ofstream(empty).flush();
  std::ofstream(comments) << "# a recording that never came\n\n\r\n#\n";
  std::ofstream(endless).flush();
  fs::resize_file(endless, 256 << 20);  // one line of NUL bytes, sparse
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& [file, why] : {std::pair<fs::path, QString>{empty, "ne contient aucune phrase"},
                                  {comments, "ne contient aucune phrase"},
                                  {endless, "ne contient aucune phrase"},
                                  {"/dev/zero", "ce n'est pas un fichier ordinaire"},
                                  {fifo, "ce n'est pas un fichier ordinaire"}}) {
    const ToolRun run = run_tool("orvanta-nmea-replay", {QString::fromStdString(file.string()), "--loop"});
    EXPECT_EQ(run.status, 1) << file;
    EXPECT_TRUE(run.err.contains(why)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
  }
  rusage usage{};
  ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &usage), 0);
  EXPECT_LT(usage.ru_maxrss, 128 * 1024) << "kilobytes";
}

// Anything already at the name --link is given (a file, another program's
// link, even one that leads nowhere) is left as it is.
TEST(ReplayTool, NeverTakesANameThatExists) {
  QTemporaryDir folder;
  const QString nmea = folder.filePath("drive.nmea");
  std::ofstream(nmea.toStdString()) << "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\n";
  std::ofstream(folder.filePath("file").toStdString()) << "keep me";
  fs::create_symlink("file", folder.filePath("link").toStdString());
  fs::create_symlink("nowhere", folder.filePath("dangling").toStdString());
  for (const char* name : {"file", "link", "dangling"}) {
    const ToolRun run = run_tool("orvanta-nmea-replay", {nmea, "--link", folder.filePath(name)});
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_TRUE(run.err.contains("impossible de créer le lien " + folder.filePath(name) + " : il existe déjà"))
        << run.err.toStdString();
  }
  EXPECT_EQ(fs::read_symlink(folder.filePath("link").toStdString()), "file");
  EXPECT_EQ(fs::read_symlink(folder.filePath("dangling").toStdString()), "nowhere");
  std::ifstream kept(folder.filePath("file").toStdString());
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me");
}

// Numbers out of range are refused before any arithmetic is done with them.
TEST(ReplayTool, RefusesNumbersOutOfRange) {
  QTemporaryDir folder;
  const QString nmea = folder.filePath("drive.nmea");
  std::ofstream(nmea.toStdString()) << "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\n";
  const QStringList wrong[] = {{"--speed", "0.000000000001"},
                               {"--speed", "1001"},
                               {"--noise", "99999999999999"},
                               {"--noise", "2000000000", "--baud", "1"},
                               {"--baud", "0"},
                               {"--baud", "4000001"}};
  for (const QStringList& args : wrong) {
    const ToolRun run = run_tool("orvanta-nmea-replay", QStringList{nmea} + args);
    EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains("valeur incorrecte pour " + args[0])) << run.err.toStdString();
  }
}

TEST(ReplayTool, EndsPromptlyOnCtrlCOrSigterm) {
  QTemporaryDir folder;
  const QString nmea = folder.filePath("drive.nmea");
  std::ofstream(nmea.toStdString()) << "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\n";
  for (int signal : {SIGINT, SIGTERM}) {
    QProcess process;
    // A slow line: every sentence takes seconds, so the signal comes mid-wait.
    process.start(QString(ORVANTA_TOOLS_DIR) + "/orvanta-nmea-replay", {nmea, "--loop", "--baud", "100"});
    ASSERT_TRUE(process.waitForReadyRead(5000));
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(2000)) << signal;
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
  }
}

}  // namespace
