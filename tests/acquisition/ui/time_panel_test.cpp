#include "acquisition/ui/time_panel.h"

#include "acquisition/time_watch.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace std::chrono;

// Read only while shown, once a second; the chrony line from the measured
// delay, in a read-only field and on the clipboard at one click.
TEST(TimePanel, ShowsTheStatusEverySecondOnlyWhileShown) {
  acquisition::TimeWatch watch;
  int reads = 0;
  TimePanel panel([&] { return ++reads, watch.status({}, std::nullopt, "/run/chrony.orvanta.sock"); });
  panel.show();
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(panel.Timer_heure->interval(), 1000);
  EXPECT_FALSE(panel.Bt_copier->isEnabled());

  watch.fix(acquisition::Arrival{}, {{}, -312ms});
  QMetaObject::invokeMethod(panel.Timer_heure, "timeout");
  EXPECT_TRUE(panel.Aff_valeurs[3]->text().startsWith("0.312 s (80 % entre 0.312 et 0.312 s, sur 1 points)"));
  EXPECT_TRUE(panel.Aff_ligne_chrony->isReadOnly());
  EXPECT_EQ(panel.Aff_ligne_chrony->text(),
            "refclock SOCK /run/chrony.orvanta.sock refid GPS offset 0.312 delay 0.2 precision 0.1");
  panel.Bt_copier->click();
  EXPECT_EQ(QApplication::clipboard()->text(), panel.Aff_ligne_chrony->text());

  panel.hide();
  EXPECT_FALSE(panel.Timer_heure->isActive());
  EXPECT_EQ(reads, 2);
}
