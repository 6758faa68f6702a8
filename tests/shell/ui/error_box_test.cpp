#include "shell/ui/error_box.h"

#include "serial/com_error.h"
#include "shell/ui/orvanta_application.h"

#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(ErrorBox, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(shell::with_full_stop("Registry error"), "Registry error.");
  EXPECT_EQ(shell::with_full_stop("Impossible d'écrire dans /x/orvanta.INI"),
            "Impossible d'écrire dans /x/orvanta.INI.");
  EXPECT_EQ(shell::with_full_stop("Done."), "Done.");
  // Characters that sort before "." are left alone, as is an empty text.
  EXPECT_EQ(shell::with_full_stop("Unable to open com port (win error code: 2)"),
            "Unable to open com port (win error code: 2)");
  EXPECT_EQ(shell::with_full_stop("Attention!"), "Attention!");
  EXPECT_EQ(shell::with_full_stop("a,"), "a,");
  EXPECT_EQ(shell::with_full_stop(""), "");
}

TEST(ErrorBox, ARepeatedMessageReusesItsBoxInsteadOfPilingUp) {
  shell::ErrorBoxes boxes;
  for (int tick = 0; tick < 5; ++tick) boxes.show("Unable to open com port (win error code: 2)");
  EXPECT_EQ(boxes.open_count(), 1);
  boxes.show("Impossible d'écrire dans /x/orvanta.INI");
  EXPECT_EQ(boxes.open_count(), 2);

  QMessageBox* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box && box->isVisible() && box->text().startsWith("Unable")) shown = box;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle(), "Orvanta");
  EXPECT_EQ(shown->icon(), QMessageBox::Critical);
  EXPECT_EQ(shown->text(), "Unable to open com port (win error code: 2)");
  EXPECT_FALSE(shown->isModal());

  // Once answered, the same failure may show again.
  shown->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(boxes.open_count(), 1);
  boxes.show("Unable to open com port (win error code: 2)");
  EXPECT_EQ(boxes.open_count(), 2);
}

// A failure to open says under its own message which port, what the code
// means and what to do; the same code on another port is another box.
TEST(ErrorBox, APortFailureExplainsItselfUnderTheMessage) {
  shell::ErrorBoxes boxes;
  const auto report = [&](const char* port) {
    const std::exception_ptr e = std::make_exception_ptr(serial::EComPort(serial::ComError::OpenFailed, EBUSY, port));
    boxes.show(shell::OrvantaApplication::message_of(e), shell::OrvantaApplication::details_of(e));
  };
  report("ttyUSB0");
  report("ttyUSB0");
  report("ttyUSB1");
  EXPECT_EQ(boxes.open_count(), 2);
  QMessageBox* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box && box->isVisible() && box->informativeText().startsWith("Port : ttyUSB1")) shown = box;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->text(), "Unable to open com port (win error code: 16)");
  EXPECT_TRUE(shown->informativeText().contains(QString::fromUtf8("Code 16 : Périphérique ou ressource occupé\n")));
  EXPECT_TRUE(shell::OrvantaApplication::details_of(std::make_exception_ptr(std::runtime_error("x"))).isEmpty());
}
