#include "shell/ui/error_box.h"

#include "serial/com_error.h"
#include "shell/ui/orvanta_application.h"

#include <QApplication>
#include <QMessageBox>
#include <gtest/gtest.h>

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

// The port's failure explained under its message; another port, another box.
TEST(ErrorBox, APortFailureExplainsItselfUnderTheMessage) {
  shell::ErrorBoxes boxes;
  for (const char* port : {"ttyUSB0", "ttyUSB0", "ttyUSB1"}) {
    const auto e = std::make_exception_ptr(serial::EComPort(serial::ComError::OpenFailed, EBUSY, port));
    boxes.show(shell::OrvantaApplication::message_of(e), shell::OrvantaApplication::details_of(e));
  }
  EXPECT_EQ(boxes.open_count(), 2);
  int explained = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const auto* box = qobject_cast<QMessageBox*>(w);
    explained += box && box->isVisible() && box->text() == "Unable to open com port (win error code: 16)" &&
                 box->informativeText().startsWith(QString::fromUtf8("Port : ttyUSB1\nCode 16 : Périphérique ou "));
  }
  EXPECT_EQ(explained, 1);
}
