#include "shell/ui/config_dialog.h"

#include "acquisition/ui/affichage.h"
#include "serial/com_error.h"
#include "support/reported_exceptions.h"
#include "windows_fixture.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <cerrno>

namespace {

void press(QWidget* w, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

// What the user does: choose the entry with this text from the open list.
void pick(serial::TComComboBox* box, const char* text) {
  const int index = box->findText(text);
  ASSERT_GE(index, 0) << text;
  box->setCurrentIndex(index);
  emit box->activated(index);
}

}  // namespace

TEST_F(WindowsTest, TheIntervalIsShownInBothWindowsAndRestartsTheCountdown) {
  const std::pair<int, const char*> cases[] = {
      {3601, "1 h 0 min 1 sec"}, {86399, "23 h 59 min 59 sec"}, {86400, "24 h 0 min 0 sec"}, {3, "0 h 0 min 3 sec"}};
  for (const auto& [seconds, text] : cases) {
    windows->acquisition().set_countdown(1);
    Config->Cmd_delais->setValue(seconds);
    EXPECT_EQ(Config->Aff_delais->text(), text);
    EXPECT_EQ(Affichage->Aff_delais->text(), text);
    EXPECT_EQ(windows->settings().interval, seconds);
    EXPECT_EQ(windows->acquisition().countdown(), seconds);
  }
}

TEST_F(WindowsTest, EveryTouchOfTheSliderRestartsTheCountdownFromItsNewPosition) {
  QSlider* slider = Config->Cmd_delais;
  slider->setValue(300);
  windows->acquisition().set_countdown(10);
  press(slider, Qt::Key_Right);  // arrows move by 5
  EXPECT_EQ(slider->value(), 305);
  EXPECT_EQ(windows->acquisition().countdown(), 305);
  press(slider, Qt::Key_PageUp);  // page keys by 1
  EXPECT_EQ(windows->settings().interval, 306);

  // Touches that leave the position where it was.
  slider->setValue(86400);
  windows->acquisition().set_countdown(10);
  press(slider, Qt::Key_Right);
  EXPECT_EQ(windows->acquisition().countdown(), 86400);
  windows->acquisition().set_countdown(10);
  slider->setSliderDown(true);
  slider->setSliderDown(false);
  EXPECT_EQ(windows->acquisition().countdown(), 86400);
}

TEST_F(WindowsTest, TheChooserChangesAPathOnlyToAnExistingFile) {
  std::vector<QString> asked;
  std::optional<QString> answer;
  Config->Ouvrir = [&](const QString& name) {
    asked.push_back(name);
    return answer;
  };
  windows->settings().log_path_1.clear();
  Config->Bt_repertoire->click();  // cancelled
  answer = dir.filePath("absent.txt");
  Config->Bt_repertoire->click();
  EXPECT_EQ(asked, (std::vector<QString>{"*.txt", "*.txt"}));
  EXPECT_TRUE(windows->settings().log_path_1.empty());
  EXPECT_TRUE(Config->Aff_chemain_fichier_log_1->text().isEmpty());

  const QString existing = dir.filePath("journal.log");
  QFile(existing).open(QIODevice::WriteOnly);
  answer = existing;
  windows->settings().log_path_2 = "/old/velmora.txt";
  Config->Bt_repertoire2->click();
  EXPECT_EQ(asked.back(), "/old/velmora.txt");
  EXPECT_EQ(windows->settings().log_path_2, existing.toStdString());
  EXPECT_EQ(Config->Aff_chemain_fichier_log_2->text(), existing);
}

TEST_F(WindowsTest, TheDialogOpensCentredThenWhereItWasShowingTheCurrentPaths) {
  windows->settings().log_path_1 = "/a/one.txt";
  Config->show();
  EXPECT_EQ(Config->Aff_chemain_fichier_log_1->text(), "/a/one.txt");
  EXPECT_EQ(Config->frameGeometry().center(), Config->screen()->availableGeometry().center());
  Config->BitBtn3->click();
  EXPECT_FALSE(Config->isVisible());

  Config->move(10, 20);
  windows->settings().log_path_1 = "/b/two.txt";
  Config->show();
  EXPECT_EQ(Config->Aff_chemain_fichier_log_1->text(), "/b/two.txt");
  EXPECT_EQ(Config->pos(), QPoint(10, 20));
}

TEST_F(WindowsTest, EachShowListsThePortsAgainKeepingThePortsEntry) {
  windows->acquisition().port().SetPort("COM2");
  Config->show();
  ASSERT_EQ(Config->Aff_select_port->count(), 4);
  Config->BitBtn3->click();
  ports.names.push_back("ttyACM0");  // a receiver plugged in meanwhile
  Config->show();
  EXPECT_EQ(Config->Aff_select_port->count(), 5);
  EXPECT_EQ(Config->Aff_select_port->itemText(2), "ttyACM0");
  EXPECT_EQ(Config->Aff_select_port->Text(), "COM2");
}

TEST_F(WindowsTest, PickedEntriesGoToThePortAtOnce) {
  serial::TComComboBox* selector = Config->Aff_select_port;
  ASSERT_EQ(selector->count(), 4);
  EXPECT_EQ(selector->itemText(0), "COM10");
  EXPECT_EQ(selector->itemText(1), "COM2");
  EXPECT_EQ(selector->itemText(3), "ttyUSB0");
  EXPECT_EQ(selector->currentIndex(), -1);  // the port's "COM1" is not present
  EXPECT_EQ(selector->Text(), "");
  EXPECT_EQ(Config->Aff_select_bauds->count(), 16);
  EXPECT_EQ(Config->Aff_select_bauds->Text(), "4800");

  pick(selector, "COM2");
  EXPECT_EQ(windows->acquisition().port().Port(), "COM2");
  EXPECT_FALSE(windows->acquisition().port().Connected());
  EXPECT_EQ(line.OpenCount(), 0);  // a closed port stays closed

  pick(Config->Aff_select_bauds, "115200");
  EXPECT_EQ(windows->acquisition().port().BaudRate(), serial::br115200);
}

TEST_F(WindowsTest, ChangingThePortOrSpeedWhileConnectedStaysConnected) {
  serial::TComPort& port = windows->acquisition().port();
  port.SetConnected(true);
  pick(Config->Aff_select_port, "ttyUSB0");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(port.Port(), "ttyUSB0");
  EXPECT_EQ(line.LastOpenedName(), "ttyUSB0");

  const int opens = line.OpenCount();
  pick(Config->Aff_select_bauds, "9600");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(line.OpenCount(), opens) << "a new speed needs no reopening";
  EXPECT_EQ(line.LastDcb().BaudRate, 9600u);
}

TEST_F(WindowsTest, APortThatCannotBeReopenedIsReportedAndLeftClosed) {
  serial::TComPort& port = windows->acquisition().port();
  port.SetConnected(true);
  line.SetOpenError(EBUSY);
  // The pick runs from Qt's signal code: the failure goes to the program's
  // exception handler (the error box), not through the signal.
  testing_support::ReportedExceptions reported;
  pick(Config->Aff_select_port, "COM2");
  EXPECT_EQ(reported.last_message(), "Unable to open com port (win error code: " + std::to_string(EBUSY) + ")");
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Port(), "COM2");
  EXPECT_EQ(Config->Aff_select_port->Text(), "COM2") << "the selector keeps the new choice";

  // The handler's own reopen fails the same way.
  line.SetOpenError(0);
  port.SetConnected(true);
  line.SetOpenError(ENOENT);
  EXPECT_THROW(Config->Aff_select_portChange(), serial::EComPort);
  EXPECT_FALSE(port.Connected());
}
