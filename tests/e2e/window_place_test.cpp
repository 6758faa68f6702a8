// The main window under a real window manager (openbox on a virtual X
// server) comes back where it was left, frame and all, run after run.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

QString x_tool(const QString& tool, const QStringList& args) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(tool, args);
  p.waitForFinished(10000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// "x,y" of the main window's frame once the window manager has framed it.
QString frame_corner() {
  const QString id =
      QRegularExpression("# (0x[0-9a-f]+)").match(x_tool("xprop", {"-root", "_NET_CLIENT_LIST"})).captured(1);
  const auto extents =
      QRegularExpression(R"(= (\d+), \d+, (\d+),)").match(x_tool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
  const auto inside =
      QRegularExpression(R"(X:\s+(-?\d+)\s+Absolute upper-left Y:\s+(-?\d+))").match(x_tool("xwininfo", {"-id", id}));
  if (id.isEmpty() || !extents.hasMatch() || !inside.hasMatch()) return {};
  return QString("%1,%2")
      .arg(inside.captured(1).toInt() - extents.captured(1).toInt())
      .arg(inside.captured(2).toInt() - extents.captured(2).toInt());
}

TEST(WindowPlace, TheFrameComesBackWhereItWasLeftRunAfterRun) {
  for (const char* tool : {"Xvfb", "openbox", "xprop", "xwininfo"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
  }
  QProcess server, manager;
  server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  ASSERT_TRUE(server.waitForReadyRead(20000));
  env.insert("DISPLAY", ":" + QString::fromUtf8(server.readAllStandardOutput().trimmed()));
  env.insert("QT_QPA_PLATFORM", "xcb");
  manager.setProcessEnvironment(env);
  manager.start("openbox", QStringList());
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(ORVANTA_BINARY, dir.filePath("orvanta")));
  QFile ini(dir.filePath("orvanta.INI"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(
      "[Fenetre]\r\nEmplacement Ver.=150\r\nEmplacement Hor.=200\r\n[Actions]\r\nHeure auto=0\r\n"
      "[RS232]\r\nConnection auto=0\r\n");
  ini.close();
  ::chmod(dir.path().toUtf8().constData(), 0777);  // nobody writes the settings
  for (int round = 0; round < 3; ++round) {
    QProcess program;
    program.setProcessEnvironment(env);
    // As root, whom nothing holds back, it runs as nobody (never setting the clock).
    program.start("/usr/bin/setpriv",
                  QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"}.mid(0, ::geteuid() == 0 ? 3 : 0)
                      << dir.filePath("orvanta"));
    QString corner;
    for (int i = 0; i < 300 && (corner = frame_corner()).isEmpty(); ++i) QThread::msleep(100);
    EXPECT_EQ(corner, "200,150") << "round " << round;
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(20000));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().startsWith("[Fenetre]\r\nEmplacement Ver.=150\r\nEmplacement Hor.=200\r\n")) << round;
    ini.close();
  }
}  // Xvfb and openbox end with their QProcess.

}  // namespace
