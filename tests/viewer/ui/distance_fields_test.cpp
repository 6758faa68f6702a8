// The record panel's distances hold the longest text they get.
#include "viewer_window_fixture.h"

#include <QLabel>

TEST_F(ViewerTest, DistanceFieldsHoldSevenDigitsAndTheUnitBesideASevenDigitCounter) {
  for (QLabel* field : {trace.Aff_longueur_tot, trace.Aff_longueur_deb_curs, trace.Aff_longueur_curs_fin}) {
    EXPECT_GE(field->contentsRect().width(), field->fontMetrics().horizontalAdvance("4993111 Km"));
  }
  // The counter's digits sit against its right edge.
  const QLabel& counter = *trace.Aff_nb_ligne_courante;
  const int counter_text_left = counter.geometry().right() + 1 - counter.fontMetrics().horizontalAdvance("1000000");
  EXPECT_LE(trace.Aff_longueur_tot->geometry().right() + 1, counter_text_left);
}
