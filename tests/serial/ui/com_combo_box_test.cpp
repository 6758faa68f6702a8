// Setting selectors: their entries, what they show of a port, and what a
// pick writes into it (on the fake line, and once on a real pseudo-terminal).
#include "serial/ui/com_combo_box.h"

#include "serial/com_error.h"
#include "serial/com_port.h"
#include "serial/posix/dev_port_lister.h"
#include "serial/posix/posix_device_opener.h"
#include "support/fake_port_lister.h"
#include "support/fake_serial_device.h"
#include "support/pty_pair.h"
#include "support/reported_exceptions.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <termios.h>

namespace serial {
namespace {

// What the user does: choose the entry with this text from the open list.
void pick(TComComboBox& box, const char* text) {
  const int index = box.findText(text);
  ASSERT_GE(index, 0) << text;
  box.setCurrentIndex(index);
  emit box.activated(index);
}

std::vector<std::string> entries(const TComComboBox& box) {
  std::vector<std::string> texts;
  texts.reserve(box.count());
  for (int i = 0; i < box.count(); ++i) texts.push_back(box.itemText(i).toStdString());
  return texts;
}

class ComComboBox : public ::testing::Test {
 protected:
  // Counts OnChange and notes the port's speed the handler saw.
  void watch(TComComboBox& box) {
    box.OnChange = [this](TComComboBox*) {
      ++changes;
      speed_seen = port.BaudRate();
    };
  }
  // A selector of the kind, linked to the port, as the dialog sets one up.
  std::unique_ptr<TComComboBox> linked(TComProperty kind, bool auto_apply = true) {
    auto box = std::make_unique<TComComboBox>(ports);
    box->SetComProperty(kind);
    box->SetComPort(&port);
    box->SetAutoApply(auto_apply);
    watch(*box);
    return box;
  }

  FakeSerialLine line;
  testing_support::FakePortLister ports;
  TComPort port{line};
  int changes = 0;
  TBaudRate speed_seen = brCustom;
};

TEST_F(ComComboBox, PortEntriesAreSortedAndTheLinkedPortsNameIsFoundIgnoringCase) {
  ports.names = {"COM3", "COM1", "COM10"};
  TComComboBox box(ports);
  box.SetComProperty(cpPort);
  EXPECT_EQ(entries(box), (std::vector<std::string>{"COM1", "COM10", "COM3"}));
  EXPECT_EQ(box.currentIndex(), 0) << "no port: the first entry";

  port.SetPort("com10");
  box.SetComPort(&port);
  EXPECT_EQ(box.currentIndex(), 1);
  EXPECT_EQ(box.Text(), "COM10");
  box.ApplyToPort();  // what was read is the entry's own spelling
  EXPECT_EQ(port.Port(), "COM10");
}

TEST_F(ComComboBox, APortMissingFromTheListShowsNothingAndTextWritesOnlySelectEntries) {
  ports.names = {"COM2", "COM3"};
  auto box = linked(cpPort);
  EXPECT_EQ(box->currentIndex(), -1);
  EXPECT_EQ(box->Text(), "");
  box->ApplyToPort();
  EXPECT_EQ(port.Port(), "COM1") << "no entry taken: the port keeps its name";

  box->SetText("COM9");
  EXPECT_EQ(box->currentIndex(), -1);
  box->SetText("com3");
  EXPECT_EQ(box->Text(), "COM3");
  box->SetText("COM9");
  EXPECT_EQ(box->Text(), "COM3");
  EXPECT_EQ(port.Port(), "COM1") << "a Text write applies nothing";
  EXPECT_EQ(changes, 0);
}

// The port's name and the listed one may differ for one device: "COM1" is
// listed as "ttyS0", a path or a udev link as the device's own name.
TEST(ComComboBoxOverDev, ThePortsEntryIsFoundUnderAnyNameOfItsDevice) {
  const std::string dev = ::testing::TempDir() + "orvanta-dev-" + std::to_string(::getpid());
  std::filesystem::create_directories(dev);
  for (const char* name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1"}) std::ofstream(dev + "/" + name) << "";
  std::filesystem::create_symlink(dev + "/ttyUSB1", dev + "/gps");
  // A machine without consoles: this one's may bear any of those names.
  DevPortLister lister(
      dev, [](const std::string&, std::string_view) { return true; }, SystemRoots{dev, dev});
  FakeSerialLine line;
  TComPort port{line};
  TComComboBox box(lister);
  box.SetComProperty(cpPort);
  box.SetComPort(&port);
  EXPECT_EQ(box.Text(), "ttyS0") << "the default COM1";

  const std::pair<std::string, const char*> names[] = {
      {"com2", "ttyS1"}, {dev + "/ttyUSB0", "ttyUSB0"}, {dev + "/gps", "ttyUSB1"}, {"COM3", ""}, {"", ""}};
  for (const auto& [name, entry] : names) {
    port.SetPort(name);
    box.ReadFromPort();
    EXPECT_EQ(box.Text(), entry) << name;
  }
  std::filesystem::remove_all(dev);
}

TEST_F(ComComboBox, APickedSpeedReachesTheOpenLineBeforeOnChange) {
  port.SetBaudRate(br4800);
  port.Open();
  auto box = linked(cpBaudRate);
  ASSERT_EQ(box->count(), 16);
  EXPECT_EQ(box->Text(), "4800");
  pick(*box, "1200");
  EXPECT_EQ(port.BaudRate(), br1200);
  EXPECT_EQ(line.LastDcb().BaudRate, 1200u);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(speed_seen, br1200);

  // "Custom" stands for the port's own custom rate.
  pick(*box, "Custom");
  EXPECT_EQ(port.BaudRate(), brCustom);
  EXPECT_EQ(line.LastDcb().BaudRate, 9600u);
}

TEST_F(ComComboBox, WithoutAutoApplyAPickWaitsForApplyToPort) {
  port.SetBaudRate(br4800);
  port.Open();
  auto box = linked(cpBaudRate, false);
  pick(*box, "1200");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(port.BaudRate(), br4800);
  EXPECT_EQ(line.LastDcb().BaudRate, 4800u);
  box->ApplyToPort();
  EXPECT_EQ(line.LastDcb().BaudRate, 1200u);
}

TEST_F(ComComboBox, MovingTheSelectionFromTheProgramAppliesNothing) {
  port.SetBaudRate(br4800);
  auto box = linked(cpBaudRate);
  box->setCurrentIndex(13);
  box->SetText("9600");
  EXPECT_EQ(box->Text(), "9600");
  EXPECT_EQ(port.BaudRate(), br4800);
  EXPECT_EQ(changes, 0);
  // Nor was it taken: applying writes what was last read or picked.
  box->ApplyToPort();
  EXPECT_EQ(port.BaudRate(), br4800);
}

TEST_F(ComComboBox, EachKindShowsAndWritesItsOwnSetting) {
  port.SetDataBits(dbSeven);
  port.SetStopBits(sbTwoStopBits);
  port.Parity().SetBits(prOdd);
  auto data_bits = linked(cpDataBits);
  auto stop_bits = linked(cpStopBits);
  auto parity = linked(cpParity);
  EXPECT_EQ(entries(*data_bits), (std::vector<std::string>{"5", "6", "7", "8"}));
  EXPECT_EQ(data_bits->Text(), "7");
  EXPECT_EQ(stop_bits->Text(), "2");
  EXPECT_EQ(parity->Text(), "Odd");

  pick(*data_bits, "5");
  pick(*stop_bits, "1.5");
  pick(*parity, "Space");
  EXPECT_EQ(port.DataBits(), dbFive);
  EXPECT_EQ(port.StopBits(), sbOne5StopBits);
  EXPECT_EQ(port.Parity().Bits(), prSpace);
}

TEST_F(ComComboBox, PickingHardwareFlowControlSetsTheHandshakeLines) {
  port.FlowControl().SetFlowControl(fcSoftware);
  port.Open();
  auto box = linked(cpFlowControl);
  EXPECT_EQ(box->Text(), "Software");
  pick(*box, "Hardware");
  const TComFlowControl& flow = port.FlowControl();
  EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
  EXPECT_TRUE(flow.OutCTSFlow());
  EXPECT_FALSE(flow.XonXoffIn());
  EXPECT_FALSE(flow.XonXoffOut());
  EXPECT_EQ(flow.FlowControl(), fcHardware);
  EXPECT_TRUE(line.LastDcb().Flags & DcbFlag::OutxCtsFlow);
}

TEST_F(ComComboBox, APortThatRefusesAPickLeavesTheChoiceAndSkipsOnChange) {
  port.SetBaudRate(br4800);
  port.Open();
  auto box = linked(cpBaudRate);
  line.SetFailure(FakeOp::SetState, EIO);
  // A pick runs from Qt's signal code, which no exception may cross.
  testing_support::ReportedExceptions reported;
  EXPECT_NO_THROW(pick(*box, "1200"));
  ASSERT_EQ(reported.errors.size(), 1u);
  try {
    std::rethrow_exception(reported.errors.front());
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode(), ComError::SetStateFailed);
  }
  EXPECT_EQ(box->Text(), "1200");
  EXPECT_EQ(changes, 0);
}

TEST_F(ComComboBox, AFailingOnChangeIsReportedNotThrownThroughTheSignal) {
  auto box = linked(cpBaudRate);
  box->OnChange = [](TComComboBox*) { throw EComPort(ComError::OpenFailed, EBUSY); };
  // A pick runs from Qt's signal code, which no exception may cross.
  testing_support::ReportedExceptions reported;
  EXPECT_NO_THROW(pick(*box, "1200"));
  EXPECT_EQ(reported.errors.size(), 1u);
  EXPECT_EQ(port.BaudRate(), br1200);
}

TEST_F(ComComboBox, APickedPortReopensAnOpenPortOnIt) {
  ports.names = {"COM1", "COM2"};
  port.Open();
  auto box = linked(cpPort);
  EXPECT_EQ(box->Text(), "COM1");
  pick(*box, "COM2");
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(line.LastOpenedName(), "COM2");
}

TEST_F(ComComboBox, ThePortsDestructionUnlinksAndSelectsTheFirstEntry) {
  auto doomed = std::make_unique<TComPort>(line);
  doomed->SetBaudRate(br4800);
  TComComboBox box(ports);
  box.SetComProperty(cpBaudRate);
  box.SetComPort(doomed.get());
  box.SetAutoApply(true);
  watch(box);
  EXPECT_EQ(box.currentIndex(), 6);
  doomed.reset();
  EXPECT_EQ(box.ComPort(), nullptr);
  EXPECT_EQ(box.currentIndex(), 0);
  EXPECT_EQ(changes, 0);
  box.ApplyToPort();  // nothing linked: nothing to write

  // A selector that goes first is forgotten by its port.
  auto gone = linked(cpBaudRate);
  gone.reset();
  auto other = std::make_unique<TComPort>(line);
  TComComboBox moved(ports);
  moved.SetComPort(other.get());
  moved.SetComPort(&port);  // left behind: `other` must not call it
  moved.SetComProperty(cpStopBits);
  other.reset();
  EXPECT_EQ(moved.ComPort(), &port);
}

TEST_F(ComComboBox, NoKindMeansNoEntries) {
  auto box = linked(cpBaudRate);
  box->SetComProperty(cpNone);
  EXPECT_EQ(box->count(), 0);
  EXPECT_EQ(box->currentIndex(), -1);
  EXPECT_EQ(box->Text(), "");
}

TEST_F(ComComboBox, AFailedPortListingIsRaisedWithItsErrorAndLeavesNoEntries) {
  TComComboBox box(ports);
  box.SetComProperty(cpBaudRate);
  ports.error = EACCES;
  try {
    box.SetComProperty(cpPort);
    FAIL() << "the failure was lost";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorCode(), ComError::RegError);
    EXPECT_EQ(e.WinErrorCode(), EACCES);
    EXPECT_EQ(std::string(e.what()), "Registry error (win error code: " + std::to_string(EACCES) + ")");
  }
  EXPECT_EQ(box.count(), 0);

  std::vector<std::string> target{"kept"};
  EXPECT_THROW(ListPorts(ports, target), EComPort);
  EXPECT_EQ(target, std::vector<std::string>{"kept"});
  ports.error = 0;
  ports.names = {"ttyS0", "ttyACM0", "COM2"};
  ListPorts(ports, target);
  EXPECT_EQ(target, (std::vector<std::string>{"COM2", "ttyACM0", "ttyS0"}));
}

// The whole way down to the line discipline: the speed the kernel holds for
// the tty changes as the pick is applied.
TEST(ComComboBoxOnAPty, APickedSpeedChangesTheOpenLine) {
  testing::PtyPair pty;
  ASSERT_FALSE(pty.path().empty());
  TComPort port(posix_serial_devices());
  port.SetPort(pty.path());
  port.SetBaudRate(br4800);
  port.Open();
  auto speed = [&] {
    termios t{};
    EXPECT_EQ(::tcgetattr(pty.slave(), &t), 0);
    return ::cfgetospeed(&t);
  };
  EXPECT_EQ(speed(), B4800);

  testing_support::FakePortLister ports;
  TComComboBox box(ports);
  box.SetComProperty(cpBaudRate);
  box.SetComPort(&port);
  box.SetAutoApply(true);
  pick(box, "1200");
  EXPECT_EQ(speed(), B1200);
  EXPECT_TRUE(port.Connected());
}

}  // namespace
}  // namespace serial

namespace serial {
namespace {

// A long entry is shown whole: the list as wide as it, its name as tooltip;
// the closed selector keeps its width.
TEST_F(ComComboBox, LongEntriesAreShownWholeWhileTheClosedSelectorKeepsItsWidth) {
  ports.names = {"gpsd://localhost:2947", "ttyUSB0"};
  std::unique_ptr<TComComboBox> box = linked(cpPort);
  box->setGeometry(8, 18, 97, 21);
  box->setToolTip("hint");
  box->show();
  box->showPopup();
  EXPECT_GT(box->view()->width(), box->fontMetrics().horizontalAdvance("gpsd://localhost:2947"));
  EXPECT_EQ(box->width(), 97);
  box->hidePopup();
  for (const char* entry : {"gpsd://localhost:2947", "ttyUSB0"}) {
    pick(*box, entry);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box.get(), &help);
    EXPECT_EQ(QToolTip::text(), entry == std::string("ttyUSB0") ? "hint" : "gpsd://localhost:2947\nhint");
    QToolTip::hideText();
  }
}

}  // namespace
}  // namespace serial
