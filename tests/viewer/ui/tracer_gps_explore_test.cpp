#include "viewer/ui/plan_image.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class ViewerExplore : public ViewerTest {
 protected:
  ViewerExplore() {
    write_journal(track_text(40));
    Trace->show();
  }
};

TEST_F(ViewerExplore, ThePlanGrowsWithTheWindowAndTheControlsKeepToTheirEdges) {
  EXPECT_FALSE(Trace->chosen_size());
  const QPoint exporter = Trace->Bt_exporter->pos(), stepper = Trace->Bt_avance->mapTo(Trace, QPoint());
  Trace->resize(1022, 898);
  EXPECT_EQ(Trace->Image->size(), QSize(1015, 739));
  EXPECT_EQ(Trace->Plan.width, 1015);
  EXPECT_EQ(Trace->Bt_exporter->pos(), exporter + QPoint(300, 200));
  EXPECT_EQ(Trace->Bt_avance->mapTo(Trace, QPoint()), stepper + QPoint(0, 200));
  // The newest record, centred, is on the middle of the larger plan.
  Trace->Bt_centrer_finClick();
  EXPECT_EQ(Trace->Curseur->pos(), QPoint(3 + 507 - 4, 44 + 369 - 4));
  ASSERT_TRUE(Trace->chosen_size());
  EXPECT_EQ(Trace->chosen_size()->normal, QSize(1022, 898));
}
