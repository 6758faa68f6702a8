#include "track/track_distance.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <stdexcept>

class ViewerReload : public ViewerTest {
 protected:
  ViewerReload() {
    write_journal(track_text(3));
    trace.Bt_maj->setValue(5);
    trace.Bt_maj_on->setChecked(true);
    trace.FormShow();
  }
};

TEST_F(ViewerReload, RereadsTheJournalOnTheTickThatFillsTheDelay) {
  EXPECT_TRUE(trace.Timer_trace->isActive());
  trace.Bt_centrer_debutClick();
  write_journal(track_text(2, 3), std::ios::app);
  for (int tick = 1; tick <= 4; ++tick) {
    trace.Timer_traceTimer();
    EXPECT_EQ(trace.Aff_maj->value(), tick);
    EXPECT_EQ(trace.Aff_maj->maximum(), 5);
    EXPECT_EQ(trace.Liste_points.size(), 3u);
  }
  trace.Timer_traceTimer();
  EXPECT_EQ(trace.Aff_maj->value(), 5);
  EXPECT_EQ(trace.Liste_points.size(), 5u);
  // The cursor goes to the newest record whatever was shown before.
  EXPECT_EQ(trace.Bt_avance->Max(), 4);
  EXPECT_EQ(trace.Bt_avance->Position(), 4);
  EXPECT_EQ(trace.Aff_nb_lignes_total->text(), "4");
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "4");
  EXPECT_EQ(trace.Plan.Centre_lat, 27'000'000 + 4 * kStep);
  trace.Timer_traceTimer();
  EXPECT_EQ(trace.Aff_maj->value(), 1);
}

TEST_F(ViewerReload, AMissingJournalIsRetriedAFullPeriodLaterAndTheTrackStays) {
  QFile::remove(journal_path());
  for (int tick = 0; tick < 5; ++tick) trace.Timer_traceTimer();
  EXPECT_EQ(Compteur_maj, 0);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(trace.Liste_points.size(), 3u);
  EXPECT_TRUE(trace.Timer_trace->isActive());
}

TEST_F(ViewerReload, AJournalThatTurnedFaultyDropsToNoTrackAndStopsTheTimer) {
  write_journal(viewer_test::record({"48", "61"}), std::ios::app);
  for (int tick = 0; tick < 5; ++tick) trace.Timer_traceTimer();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.endsWith(QString::fromUtf8("Comporte une erreur à la ligne 4.")));
  EXPECT_FALSE(trace.Timer_trace->isActive());
  EXPECT_FALSE(trace.Bt_maj_on->isEnabled());
}

TEST_F(ViewerReload, ClosingStopsTheTimerAndReopeningReloadsToTheNewestRecord) {
  trace.Timer_traceTimer();
  trace.Bt_centrer_debutClick();
  trace.FormClose();
  EXPECT_FALSE(trace.Timer_trace->isActive());
  EXPECT_EQ(Compteur_maj, 1);
  write_journal(track_text(1, 3), std::ios::app);
  trace.FormShow();
  EXPECT_EQ(trace.Bt_avance->Position(), 3);
  EXPECT_TRUE(trace.Timer_trace->isActive());
  EXPECT_EQ(Compteur_maj, 1);
}

TEST_F(ViewerReload, TheCheckBoxStartsAndStopsTheTimerHoweverItChanges) {
  trace.Bt_maj_on->setChecked(false);
  EXPECT_FALSE(trace.Timer_trace->isActive());
  trace.Bt_maj_on->click();
  EXPECT_TRUE(trace.Timer_trace->isActive());
}

TEST_F(ViewerTest, ARestoredAutomaticReloadTicksBeforeTheFirstShowingAndFindsNoFile) {
  settings.auto_refresh = true;
  trace.show_settings();
  EXPECT_TRUE(trace.Timer_trace->isActive());
  Compteur_maj = 0;
  for (int tick = 0; tick < 5; ++tick) trace.Timer_traceTimer();
  EXPECT_EQ(Compteur_maj, 0);
  EXPECT_TRUE(trace.Liste_points.empty());
}

TEST_F(ViewerReload, ExportsTheDrawingWithoutTheCursor) {
  const std::string image = path("Trace");  // saved as named, no extension added
  chosen = QString::fromStdString(image);
  trace.Bt_exporterClick();
  const QImage back(QString::fromStdString(image), "JPEG");
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.size(), QSize(715, 539));
  // The red disc covers the newest record and the pixels around it; off the
  // track, up and to the right of its end, they stay white in the image.
  ASSERT_FALSE(trace.Curseur->isHidden());
  const QPoint record = trace.Curseur->pos() - QPoint(3, 44) + QPoint(4, 4);
  const QRgb beside = back.pixel(record + QPoint(3, -3));
  EXPECT_GT(qGreen(beside), 230);
  EXPECT_GT(qBlue(beside), 230);
}

TEST_F(ViewerReload, AnExportCancelledDoesNothingAndAFailedOneIsReported) {
  trace.Bt_exporterClick();
  chosen = QString();
  trace.Bt_exporterClick();
  EXPECT_EQ(dialogs, 2);
  chosen = QString::fromStdString(path("absent/Trace.jpg"));
  try {
    trace.Bt_exporterClick();
    FAIL() << "no error reported";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path("absent/Trace.jpg")), std::string::npos) << e.what();
  }
  EXPECT_FALSE(QFile::exists(*chosen));
  EXPECT_TRUE(trace.Bt_exporter->isEnabled());
}
