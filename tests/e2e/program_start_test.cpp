// The real program started and ended without a receiver.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A copy in a bin folder keeps its settings in the configuration folder that
// the test makes; it never connects to a port. As root, whom permissions do
// not hold back, it runs as nobody.
class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("config/orvanta"));
    ASSERT_TRUE(QFile::copy(ORVANTA_BINARY, root.filePath("bin/orvanta")));
    ASSERT_EQ(::chmod(root.path().toUtf8().constData(), 0755), 0);
    std::ofstream(ini, std::ios::binary) << "[RS232]\r\nConnection auto=0\r\n";
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) env.remove(name);
  }

  void start(const QStringList& args) {
    process.setProcessEnvironment(env);
    const QString program = root.filePath("bin/orvanta");
    if (::geteuid() != 0) return process.start(program, args);
    process.start("/usr/bin/setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + args);
  }
  // The exit status once it has ended (within 10 s); -1 otherwise.
  int status() {
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }

  QTemporaryDir root;
  const std::string ini = root.filePath("config/orvanta/orvanta.INI").toStdString();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  QProcess process;
};

TEST_F(ProgramStart, AnswersHelpAndVersionWithoutADisplayAndSaysWhenThereIsNone) {
  start({"-reverse", "--version"});
  EXPECT_EQ(status(), 0);
  EXPECT_EQ(process.readAllStandardOutput(), "orvanta (Orvanta) " ORVANTA_VERSION "\n");
  start({"--help"});
  EXPECT_EQ(status(), 0);
  EXPECT_TRUE(process.readAllStandardOutput().contains(ini.c_str()));
  env.insert("DISPLAY", ":65000");
  start({});
  EXPECT_EQ(status(), 1);
  EXPECT_EQ(process.readAllStandardError(),
            "orvanta : aucun affichage utilisable (DISPLAY=:65000) ; lancez-le dans une session graphique\n");
}

TEST_F(ProgramStart, ATerminationSignalEndsItEvenWhenTheSettingsCannotBeSaved) {
  env.insert("QT_QPA_PLATFORM", "offscreen");
  ASSERT_EQ(::chmod(root.filePath("config/orvanta").toUtf8().constData(), 0555), 0);
  ASSERT_EQ(::chmod(ini.c_str(), 0444), 0);
  start({});
  ASSERT_TRUE(process.waitForStarted());
  // The windows are up once the program catches the signal.
  const auto catches_sigterm = [&] {
    std::ifstream status("/proc/" + std::to_string(process.processId()) + "/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("SigCgt:")) {
    }
    return line.size() > 7 && (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1);
  };
  for (int i = 0; i < 100 && !catches_sigterm(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
  EXPECT_EQ(status(), 1);
  EXPECT_TRUE(process.readAllStandardError().contains(("orvanta : Impossible d'écrire dans " + ini + ".\n").c_str()));
}

}  // namespace
