// The main window under a real window manager (openbox on a virtual X
// server): it comes back where it was left, frame and all, run after run.
#include <QDir>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class WindowPlace : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "openbox", "xprop", "xwininfo"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
    }
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    ASSERT_TRUE(server.waitForReadyRead(20000));
    env.insert("DISPLAY", ":" + QString::fromUtf8(server.readAllStandardOutput()).trimmed());
    env.insert("QT_QPA_PLATFORM", "xcb");
    manager.setProcessEnvironment(env);
    manager.start("openbox", {});
    ASSERT_TRUE(wait_for([&] {
      return !x_tool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("not found");
    }));
    ASSERT_TRUE(QFile::copy(ORVANTA_BINARY, dir.filePath("orvanta")));
    ASSERT_EQ(::chmod(dir.path().toUtf8().constData(), 0777), 0);
  }
  void TearDown() override {
    for (QProcess* p : {&manager, &server}) {
      p->terminate();
      p->waitForFinished(5000);
    }
  }

  QString x_tool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(tool, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
  }
  static bool wait_for(const std::function<bool()>& done) {
    for (int i = 0; i < 300; ++i) {
      if (done()) return true;
      QThread::msleep(100);
    }
    return false;
  }
  // The main window's frame corner once the window manager has framed it.
  std::optional<QPoint> frame_corner() {
    const QRegularExpressionMatch list =
        QRegularExpression("# (0x[0-9a-f]+)").match(x_tool("xprop", {"-root", "_NET_CLIENT_LIST"}));
    if (!list.hasMatch()) return std::nullopt;
    const QString id = list.captured(1);
    const QRegularExpressionMatch extents =
        QRegularExpression(R"(= (\d+), \d+, (\d+), \d+)").match(x_tool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
    const QString info = x_tool("xwininfo", {"-id", id});
    const QRegularExpressionMatch x = QRegularExpression(R"(Absolute upper-left X:\s+(-?\d+))").match(info);
    const QRegularExpressionMatch y = QRegularExpression(R"(Absolute upper-left Y:\s+(-?\d+))").match(info);
    if (!extents.hasMatch() || !x.hasMatch() || !y.hasMatch() || !info.contains("IsViewable")) return std::nullopt;
    return QPoint(x.captured(1).toInt() - extents.captured(1).toInt(),
                  y.captured(1).toInt() - extents.captured(2).toInt());
  }

  QTemporaryDir dir;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  QProcess server;
  QProcess manager;
};

TEST_F(WindowPlace, TheFrameComesBackWhereItWasLeftRunAfterRun) {
  const std::string ini = dir.filePath("orvanta.INI").toStdString();
  std::ofstream(ini, std::ios::binary) << "[Fenetre]\r\nEmplacement Ver.=150\r\nEmplacement Hor.=200\r\n"
                                          "[Actions]\r\nHeure auto=0\r\n[RS232]\r\nConnection auto=0\r\n";
  for (int round = 0; round < 3; ++round) {
    QProcess program;
    program.setProcessEnvironment(env);
    // As root, whom nothing holds back, it runs as nobody (and never sets
    // the clock).
    const QString binary = dir.filePath("orvanta");
    if (::geteuid() == 0)
      program.start("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", binary});
    else
      program.start(binary, {});
    std::optional<QPoint> corner;
    EXPECT_TRUE(wait_for([&] { return (corner = frame_corner()).has_value(); })) << "round " << round;
    EXPECT_EQ(corner.value_or(QPoint()), QPoint(200, 150)) << "round " << round;
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(20000));
    std::ifstream in(ini, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(text.starts_with("[Fenetre]\r\nEmplacement Ver.=150\r\nEmplacement Hor.=200\r\n"))
        << "round " << round << ":\n"
        << text;
  }
}

}  // namespace
