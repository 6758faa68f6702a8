// The real program started and ended as a user or a session does, without a
// receiver: its command line answered without a display, no display at all,
// and termination signals whether or not the settings can be saved.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class ProgramStart : public ::testing::Test {
 protected:
  // A copy installed in a bin folder keeps its settings in the configuration
  // folder, which the test makes; they never connect to a port.
  void SetUp() override {
    ASSERT_TRUE(QDir(root.path()).mkpath("bin") && QDir(root.path()).mkpath("config/orvanta"));
    ASSERT_TRUE(QFile::copy(ORVANTA_BINARY, program()));
    std::ofstream(settings().toStdString(), std::ios::binary) << "[RS232]\r\nConnection auto=0\r\n";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root.path());
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    process.setProcessEnvironment(env);
  }

  QString program() const { return root.filePath("bin/orvanta"); }
  QString settings() const { return root.filePath("config/orvanta/orvanta.INI"); }

  void set_display(const QString& platform, const QString& display) {
    QProcessEnvironment env = process.processEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) env.remove(name);
    if (!platform.isEmpty()) env.insert("QT_QPA_PLATFORM", platform);
    if (!display.isEmpty()) env.insert("DISPLAY", display);
    process.setProcessEnvironment(env);
  }

  // Runs to the end (at most 10 s); the exit status, -1 when it did not end
  // by itself.
  int run(const QStringList& args) {
    process.start(program(), args);
    if (!process.waitForFinished(10000)) {
      process.kill();
      process.waitForFinished();
      return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }
  std::string out() { return process.readAllStandardOutput().toStdString(); }
  std::string err() { return process.readAllStandardError().toStdString(); }

  QTemporaryDir root;
  QProcess process;
};

TEST_F(ProgramStart, HelpAndVersionAreAnsweredWithoutADisplay) {
  set_display({}, {});
  EXPECT_EQ(run({"--version"}), 0);
  EXPECT_EQ(out(), "orvanta (Orvanta) " ORVANTA_VERSION "\n");
  EXPECT_EQ(err(), "");
  EXPECT_EQ(run({"-reverse", "--help", "--version"}), 0);
  const std::string help = out();
  EXPECT_TRUE(help.starts_with("Utilisation : orvanta [--help | --version]\n")) << help;
  EXPECT_NE(help.find(settings().toStdString()), std::string::npos) << help;
  EXPECT_EQ(err(), "");
}

TEST_F(ProgramStart, WithoutAUsableDisplayItSaysSoInOneLine) {
  for (const char* display : {"", ":65000"}) {
    set_display("xcb", display);
    EXPECT_EQ(run({}), 1) << display;
    const std::string said = err();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("orvanta : aucun affichage utilisable"), std::string::npos) << said;
  }
}

// A session that ends sends SIGTERM or SIGHUP: the program ends, and a
// settings file it cannot write is reported where the sender can see it.
TEST_F(ProgramStart, ATerminationSignalAlwaysEndsTheProgram) {
  set_display("offscreen", {});
  // Permissions do not hold root back: the program then runs as nobody.
  const bool as_root = ::geteuid() == 0;
  ASSERT_EQ(::chmod(root.path().toUtf8().constData(), 0755), 0);
  const struct {
    int signo;
    bool writable;
  } cases[] = {{SIGTERM, false}, {SIGHUP, false}, {SIGINT, true}};
  for (const auto& c : cases) {
    const std::string folder = root.filePath("config/orvanta").toStdString();
    ASSERT_EQ(::chmod(folder.c_str(), c.writable ? 0777 : 0555), 0);
    ASSERT_EQ(::chmod(settings().toUtf8().constData(), c.writable ? 0666 : 0444), 0);
    if (as_root) {
      process.start("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", program()});
    } else {
      process.start(program(), {});
    }
    ASSERT_TRUE(process.waitForStarted());
    // Once the program catches the signal, its windows are up.
    const std::string status = "/proc/" + std::to_string(process.processId()) + "/status";
    const auto catches = [&] {
      std::ifstream in(status);
      for (std::string line; std::getline(in, line);) {
        if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) >> (c.signo - 1)) & 1;
      }
      return 0ull;
    };
    for (int i = 0; i < 100 && !catches(); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(catches());
    ::kill(static_cast<pid_t>(process.processId()), c.signo);
    const bool ended = process.waitForFinished(10000);
    if (!ended) process.kill();
    process.waitForFinished();
    ASSERT_TRUE(ended) << "still running after signal " << c.signo;
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    const std::string said = err();
    if (c.writable) {
      EXPECT_EQ(process.exitCode(), 0) << said;
      std::ifstream in(settings().toStdString());
      EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).find("Vitesse=6"), std::string::npos);
    } else {
      EXPECT_EQ(process.exitCode(), 1);
      EXPECT_NE(said.find("orvanta : Impossible d'écrire dans " + settings().toStdString() + ".\n"), std::string::npos)
          << said;
    }
  }
}

}  // namespace
