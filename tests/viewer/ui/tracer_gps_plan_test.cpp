#include "track/track_distance.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>

class ViewerPlan : public ViewerTest {
 protected:
  ViewerPlan() {
    write_journal(track_text(6));
    Trace->FormShow();
  }
  int32_t lat_of(int record) const { return 27'000'000 + kStep * record; }
};

TEST_F(ViewerPlan, SteppingMovesFasterWhileHeldAndTheDisplayFollowsOneStepBehind) {
  Trace->Bt_centrer_debutClick();
  Trace->Bt_avance->SetIncrement(0);  // as a load leaves it
  TUpDown* stepper = Trace->Bt_avance;
  stepper->Step(+1);  // a step of 0 still moves by one, and grows to 1
  EXPECT_EQ(stepper->Position(), 1);
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "0");
  // Held: every notification adds one to the step the next one takes.
  stepper->Step(+1);
  EXPECT_EQ(stepper->Position(), 2);
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "1");
  stepper->Step(+1);
  EXPECT_EQ(stepper->Position(), 4);
  stepper->Step(+1);  // 3 more, past the last record (5): wraps round
  EXPECT_EQ(stepper->Position(), 1);
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "4");
  Trace->Bt_avanceMouseUp();
  EXPECT_EQ(stepper->Increment(), 1);
  EXPECT_TRUE(Trace->Trace_preci->isActive());
  Trace->Trace_preciTimer();
  EXPECT_FALSE(Trace->Trace_preci->isActive());
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "1");
  // A new press starts again from one record.
  stepper->Step(-1);
  stepper->Step(-1);
  EXPECT_EQ(stepper->Position(), 4);
}

TEST_F(ViewerPlan, TheCursorShowsDistancesFromTheStartAndToTheEnd) {
  const int64_t total = track::whole_metres(Trace->Longueur_totale);
  ASSERT_GT(total, 0);
  Trace->Bt_centrer_debutClick();
  EXPECT_EQ(Trace->Aff_longueur_deb_curs->text(), "0 m");
  EXPECT_EQ(Trace->Aff_longueur_curs_fin->text(), QString::fromStdString(track::Format_distance(total)));
  Trace->Bt_centrer_finClick();
  EXPECT_EQ(Trace->Aff_longueur_curs_fin->text(), "0 m");
  EXPECT_EQ(Trace->Plan.Centre_lat, lat_of(5));
}

TEST_F(ViewerPlan, TheCursorRecordIsReadBackFromTheJournalAndDashedOnceItChanged) {
  Trace->Bt_centrer_debutClick();
  EXPECT_EQ(Trace->Aff_lignes->text(), QString::fromUtf8("45° 00' 0000\"N    006° 00' 0000\"E"));
  // Rewritten in place (not by the logger, which only appends): the track
  // keeps its positions but no longer has the record's texts.
  write_journal(track_text(6, 100));
  Trace->Bt_centrer_finClick();
  EXPECT_EQ(Trace->Aff_date->text(), "--/--/----    --:--:--");
  EXPECT_EQ(Trace->Aff_lignes->text(), QString::fromUtf8("--° --' ----\"-    ---° --' ----\"-"));
  EXPECT_EQ(Trace->Aff_longueur_curs_fin->text(), "0 m");
}

TEST_F(ViewerPlan, ACursorLeavingTheDrawingRecentresThePlanOnIt) {
  Trace->Bt_zoom->setCurrentIndex(19);  // 1000 %: ten seconds are 30 pixels
  Trace->Bt_zoomClick();
  Trace->Plan.Centre_lat += int64_t{20} * kStep;  // the cursor record is now below the drawing
  Trace->Placer_curseur(5, false);
  EXPECT_TRUE(Trace->Curseur->isHidden());
  Trace->Placer_curseur(5, true);
  EXPECT_FALSE(Trace->Curseur->isHidden());
  EXPECT_EQ(Trace->Plan.Centre_lat, lat_of(5));
  EXPECT_EQ(Trace->Curseur->pos(), QPoint(3 + 357 - 4, 44 + 269 - 4));
  EXPECT_FALSE(Trace->Trace_preci->isActive());
}

TEST_F(ViewerPlan, AZoomChoiceRecentresOnTheCursorAndRedrawsQuicklyThenFully) {
  Trace->Plan.Centre_lat = 0;
  Trace->Bt_zoom->setCurrentIndex(19);
  emit Trace->Bt_zoom->activated(19);
  EXPECT_EQ(Trace->Plan.Centre_lat, lat_of(5));
  EXPECT_EQ(Trace->Plan.Facteur_zoom, 0.1f);
  EXPECT_EQ(Trace->Aff_echelle1->text(), "359 m");
  EXPECT_EQ(Trace->Aff_echelle5->text(), "1.8 Km");
  EXPECT_TRUE(Trace->Trace_preci->isActive());
}

TEST_F(ViewerPlan, PanButtonsAndEdgeClicksMoveTheCentre) {
  const viewer::PlanScale before = Trace->Plan;
  Trace->Bt_hautClick();
  EXPECT_NEAR(viewer::Vers_pixel(Trace->Plan, before.Centre_lat, before.Centre_lon).y, 269 + 100, 1);
  EXPECT_TRUE(Trace->Trace_preci->isActive());
  const viewer::PlanScale after_north = Trace->Plan;
  Trace->ImageMouseDown(5, 5);  // west, then north
  EXPECT_LT(Trace->Plan.Centre_lon, after_north.Centre_lon);
  EXPECT_GT(Trace->Plan.Centre_lat, after_north.Centre_lat);
}

TEST_F(ViewerPlan, TheReadOutFollowsThePointerAndHidesWhileTheButtonIsHeld) {
  Trace->ImageMouseEnter();
  EXPECT_FALSE(Trace->Aff_coord1->isHidden());
  Trace->ImageMouseMove(121, 100, Qt::NoButton);
  EXPECT_EQ(Trace->Aff_coord1->pos(), QPoint(1, 115));
  EXPECT_EQ(Trace->Aff_coord2->pos(), QPoint(1, 132));
  EXPECT_TRUE(Trace->Aff_coord1->text().endsWith("\" N"));
  EXPECT_TRUE(Trace->Aff_coord2->text().endsWith("\" E"));
  EXPECT_EQ(Trace->cursor().shape(), Qt::ArrowCursor);
  Trace->ImageMouseMove(120, 10, Qt::NoButton);
  EXPECT_EQ(Trace->Aff_coord1->pos(), QPoint(130, 75));
  EXPECT_EQ(Trace->cursor().shape(), Qt::SizeVerCursor);
  Trace->ImageMouseMove(120, 10, Qt::LeftButton);
  EXPECT_TRUE(Trace->Aff_coord1->isHidden());
  Trace->ImageMouseMove(10, 300, Qt::NoButton);
  EXPECT_EQ(Trace->cursor().shape(), Qt::SizeHorCursor);
  Trace->ImageMouseLeave();
  EXPECT_TRUE(Trace->Aff_coord2->isHidden());
  EXPECT_EQ(Trace->cursor().shape(), Qt::ArrowCursor);
}

// Five records going north at 34° S 58° W, as a receiver there writes them.
TEST_F(ViewerTest, ASouthWesternTrackIsDrawnFollowedAndReadWithItsHemispheres) {
  std::string text;
  for (int i = 0; i < 5; ++i) text += viewer_test::record_at(-34 * 600'000 + kStep * i, -58 * 600'000, "O");
  write_journal(text);
  Trace->FormShow();
  Trace->Bt_zoom->setCurrentIndex(19);
  Trace->Bt_zoomClick();
  EXPECT_EQ(Trace->Aff_lignes->text(), QString::fromUtf8("33° 59' 3332\"S    058° 00' 0000\"O"));
  EXPECT_EQ(Trace->Curseur->pos(), QPoint(3 + 357 - 4, 44 + 269 - 4));  // the newest record, centred

  Trace->ImageMouseEnter();
  Trace->ImageMouseMove(357, 269, Qt::NoButton);
  const QString latitude = Trace->Aff_coord1->text();
  EXPECT_TRUE(latitude.startsWith(QString::fromUtf8("33° 59' ")) && latitude.endsWith("\" S"))
      << latitude.toStdString();
  EXPECT_EQ(Trace->Aff_coord2->text(), QString::fromUtf8("58° 0'000\" O"));
}
