#include "track/track_distance.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTimer>

class ViewerPlan : public ViewerTest {
 protected:
  ViewerPlan() {
    write_journal(track_text(6));
    trace.FormShow();
  }
  int32_t lat_of(int record) const { return 27'000'000 + kStep * record; }
};

TEST_F(ViewerPlan, SteppingMovesFasterWhileHeldAndTheDisplayFollowsOneStepBehind) {
  trace.Bt_centrer_debutClick();
  trace.Bt_avance->SetIncrement(0);  // as a load leaves it
  TUpDown* stepper = trace.Bt_avance;
  stepper->Step(+1);  // a step of 0 still moves by one, and grows to 1
  EXPECT_EQ(stepper->Position(), 1);
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "0");
  // Held: every notification adds one to the step the next one takes.
  stepper->Step(+1);
  EXPECT_EQ(stepper->Position(), 2);
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "1");
  stepper->Step(+1);
  EXPECT_EQ(stepper->Position(), 4);
  stepper->Step(+1);  // 3 more, past the last record (5): wraps round
  EXPECT_EQ(stepper->Position(), 1);
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "4");
  trace.Bt_avanceMouseUp();
  EXPECT_EQ(stepper->Increment(), 1);
  EXPECT_TRUE(trace.Trace_preci->isActive());
  trace.Trace_preciTimer();
  EXPECT_FALSE(trace.Trace_preci->isActive());
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "1");
  // A new press starts again from one record.
  stepper->Step(-1);
  stepper->Step(-1);
  EXPECT_EQ(stepper->Position(), 4);
}

TEST_F(ViewerPlan, TheCursorShowsDistancesFromTheStartAndToTheEnd) {
  const int64_t total = track::whole_metres(trace.Longueur_totale);
  ASSERT_GT(total, 0);
  trace.Bt_centrer_debutClick();
  EXPECT_EQ(trace.Aff_longueur_deb_curs->text(), "0 m");
  EXPECT_EQ(trace.Aff_longueur_curs_fin->text(), QString::fromStdString(track::Format_distance(total)));
  trace.Bt_centrer_finClick();
  EXPECT_EQ(trace.Aff_longueur_curs_fin->text(), "0 m");
  EXPECT_EQ(trace.Plan.Centre_lat, lat_of(5));
}

TEST_F(ViewerPlan, TheCursorRecordIsReadBackFromTheJournalAndDashedOnceItChanged) {
  trace.Bt_centrer_debutClick();
  EXPECT_EQ(trace.Aff_lignes->text(), QString::fromUtf8("45° 00' 0000\"N    006° 00' 0000\"E"));
  // Rewritten in place (not by the logger, which only appends): the track
  // keeps its positions but no longer has the record's texts.
  write_journal(track_text(6, 100));
  trace.Bt_centrer_finClick();
  EXPECT_EQ(trace.Aff_date->text(), "--/--/----    --:--:--");
  EXPECT_EQ(trace.Aff_lignes->text(), QString::fromUtf8("--° --' ----\"-    ---° --' ----\"-"));
  EXPECT_EQ(trace.Aff_longueur_curs_fin->text(), "0 m");
}

TEST_F(ViewerPlan, ACursorLeavingTheDrawingRecentresThePlanOnIt) {
  trace.Bt_zoom->setCurrentIndex(19);  // 1000 %: ten seconds are 30 pixels
  trace.Bt_zoomClick();
  trace.Plan.Centre_lat += int64_t{20} * kStep;  // the cursor record is now below the drawing
  trace.Placer_curseur(5, false);
  EXPECT_TRUE(trace.Curseur->isHidden());
  trace.Placer_curseur(5, true);
  EXPECT_FALSE(trace.Curseur->isHidden());
  EXPECT_EQ(trace.Plan.Centre_lat, lat_of(5));
  EXPECT_EQ(trace.Curseur->pos(), QPoint(3 + 357 - 4, 44 + 269 - 4));
  EXPECT_FALSE(trace.Trace_preci->isActive());
}

TEST_F(ViewerPlan, AZoomChoiceRecentresOnTheCursorAndRedrawsQuicklyThenFully) {
  trace.Plan.Centre_lat = 0;
  trace.Bt_zoom->setCurrentIndex(19);
  emit trace.Bt_zoom->activated(19);
  EXPECT_EQ(trace.Plan.Centre_lat, lat_of(5));
  EXPECT_EQ(trace.Plan.Facteur_zoom, 0.1f);
  EXPECT_EQ(trace.Aff_echelle1->text(), "359 m");
  EXPECT_EQ(trace.Aff_echelle5->text(), "1.8 Km");
  EXPECT_TRUE(trace.Trace_preci->isActive());
}

TEST_F(ViewerPlan, PanButtonsAndEdgeClicksMoveTheCentre) {
  const viewer::PlanScale before = trace.Plan;
  trace.Bt_hautClick();
  EXPECT_NEAR(viewer::Vers_pixel(trace.Plan, before.Centre_lat, before.Centre_lon).y, 269 + 100, 1);
  EXPECT_TRUE(trace.Trace_preci->isActive());
  const viewer::PlanScale after_north = trace.Plan;
  trace.ImageMouseDown(5, 5);  // west, then north
  EXPECT_LT(trace.Plan.Centre_lon, after_north.Centre_lon);
  EXPECT_GT(trace.Plan.Centre_lat, after_north.Centre_lat);
}

// Entering the plan shows the read-out already written and beside the
// pointer, not empty where it last was until the pointer moves.
TEST_F(ViewerPlan, TheReadOutFollowsThePointerAndHidesWhileTheButtonIsHeld) {
  QEnterEvent enter(QPointF(121, 100), QPointF(121, 100), QPointF(121, 100));
  QCoreApplication::sendEvent(trace.Image, &enter);
  EXPECT_FALSE(trace.Aff_coord1->isHidden());
  EXPECT_EQ(trace.Aff_coord1->pos(), QPoint(1, 115));
  EXPECT_EQ(trace.Aff_coord2->pos(), QPoint(1, 132));
  EXPECT_TRUE(trace.Aff_coord1->text().endsWith("\" N"));
  EXPECT_TRUE(trace.Aff_coord2->text().endsWith("\" E"));
  EXPECT_EQ(trace.cursor().shape(), Qt::ArrowCursor);
  trace.ImageMouseMove(120, 10, Qt::NoButton);
  EXPECT_EQ(trace.Aff_coord1->pos(), QPoint(130, 75));
  EXPECT_EQ(trace.cursor().shape(), Qt::SizeVerCursor);
  trace.ImageMouseMove(120, 10, Qt::LeftButton);
  EXPECT_TRUE(trace.Aff_coord1->isHidden());
  trace.ImageMouseMove(10, 300, Qt::NoButton);
  EXPECT_EQ(trace.cursor().shape(), Qt::SizeHorCursor);
  trace.ImageMouseLeave();
  EXPECT_TRUE(trace.Aff_coord2->isHidden());
  EXPECT_EQ(trace.cursor().shape(), Qt::ArrowCursor);
}

// Five records going north at 34° S 58° W, as a receiver there writes them.
TEST_F(ViewerTest, ASouthWesternTrackIsDrawnFollowedAndReadWithItsHemispheres) {
  std::string text;
  for (int i = 0; i < 5; ++i) text += viewer_test::record_at(-34 * 600'000 + kStep * i, -58 * 600'000, "O");
  write_journal(text);
  trace.FormShow();
  trace.Bt_zoom->setCurrentIndex(19);
  trace.Bt_zoomClick();
  EXPECT_EQ(trace.Aff_lignes->text(), QString::fromUtf8("33° 59' 3332\"S    058° 00' 0000\"O"));
  EXPECT_EQ(trace.Curseur->pos(), QPoint(3 + 357 - 4, 44 + 269 - 4));  // the newest record, centred

  trace.ImageMouseEnter(357, 269);
  const QString latitude = trace.Aff_coord1->text();
  EXPECT_TRUE(latitude.startsWith(QString::fromUtf8("33° 59' ")) && latitude.endsWith("\" S"))
      << latitude.toStdString();
  EXPECT_EQ(trace.Aff_coord2->text(), QString::fromUtf8("58° 0'000\" O"));
}
