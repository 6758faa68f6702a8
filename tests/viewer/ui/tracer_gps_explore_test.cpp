#include "shell/command_line.h"
#include "track/track_distance.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/speed_profile_view.h"
#include "viewer/ui/statistics_window.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

class ViewerExplore : public ViewerTest {
 protected:
  ViewerExplore() {
    write_journal(track_text(40));
    trace.show();
  }
};

TEST_F(ViewerExplore, ThePlanGrowsWithTheWindowAndTheControlsKeepToTheirEdges) {
  EXPECT_FALSE(trace.chosen_size());
  const QPoint exporter = trace.Bt_exporter->pos(), stepper = trace.Bt_avance->mapTo(&trace, QPoint());
  trace.resize(1022, 898);
  EXPECT_EQ(trace.Image->size(), QSize(1015, 739));
  EXPECT_EQ(trace.Plan.width, 1015);
  EXPECT_EQ(trace.Bt_exporter->pos(), exporter + QPoint(300, 200));
  EXPECT_EQ(trace.Bt_avance->mapTo(&trace, QPoint()), stepper + QPoint(0, 200));
  // The newest record, centred, is on the middle of the larger plan.
  trace.Bt_centrer_finClick();
  EXPECT_EQ(trace.Curseur->pos(), QPoint(3 + 507 - 4, 44 + 369 - 4));
  ASSERT_TRUE(trace.chosen_size());
  EXPECT_EQ(trace.chosen_size()->normal, QSize(1022, 898));
}

namespace {

void wheel(QWidget* target, QPoint at, int angle) {
  QWheelEvent event(at, target->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

}  // namespace

TEST_F(ViewerExplore, TheWheelZoomsOneStepKeepingThePlaceUnderThePointer) {
  const QPoint at(500, 150);
  const viewer::PlanPosition under = viewer::position_at(trace.Plan, at.x() + 0.5, at.y() + 0.5);
  auto pixel_of_place = [&] { return viewer::Vers_pixel(trace.Plan, under.lat, under.lon); };
  for (const auto& [angle, index] : {std::pair{120, 8}, {60, 8}, {60, 9}, {-240, 7}}) {
    wheel(trace.Image, at, angle);
    EXPECT_EQ(trace.Bt_zoom->currentIndex(), index) << angle;
    EXPECT_NEAR(pixel_of_place().x, at.x(), 1);
    EXPECT_NEAR(pixel_of_place().y, at.y(), 1);
  }
  EXPECT_EQ(trace.Aff_echelle1->text(), "4.5 Km");  // "80 %" again
  EXPECT_TRUE(trace.Trace_preci->isActive());
}

TEST_F(ViewerExplore, ADragMovesThePlanAndAClickNearTheTrackPicksARecord) {
  QTest::mousePress(trace.Image, Qt::LeftButton, {}, {300, 300});
  const viewer::PlanPosition grabbed = viewer::position_at(trace.Plan, 300.5, 300.5);
  QTest::mouseMove(trace.Image, {340, 320});
  QTest::mouseMove(trace.Image, {350, 330});
  QTest::mouseRelease(trace.Image, Qt::LeftButton, {}, {350, 330});
  const viewer::PixelPosition moved = viewer::Vers_pixel(trace.Plan, grabbed.lat, grabbed.lon);
  EXPECT_NEAR(moved.x, 350, 1);
  EXPECT_NEAR(moved.y, 330, 1);
  EXPECT_EQ(trace.Bt_avance->Position(), 39);  // a drag picks nothing

  auto pixel_of = [&](int record) {
    const track::PointPosition& p = trace.Liste_points.position(record);
    const viewer::PixelPosition pixel = viewer::Vers_pixel(trace.Plan, p.lat, p.lon);
    return QPoint(pixel.x, pixel.y);
  };
  // At "400 %" the records lie about 15 pixels apart.
  trace.Bt_zoom->setCurrentIndex(17);
  trace.Bt_zoomClick();
  QTest::mouseClick(trace.Image, Qt::LeftButton, {}, pixel_of(20) + QPoint(3, -3));
  EXPECT_EQ(trace.Bt_avance->Position(), 20);
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "20");
  QTest::mouseClick(trace.Image, Qt::LeftButton, {}, pixel_of(10) + QPoint(9, 9));  // 12 pixels off
  EXPECT_EQ(trace.Bt_avance->Position(), 20);
}

TEST_F(ViewerExplore, KeysStepZoomPanAndShowTheWholeTrack) {
  QTest::keyClick(trace.Image, Qt::Key_Home);
  EXPECT_EQ(trace.Bt_avance->Position(), 0);
  QTest::keyClick(trace.Image, Qt::Key_PageDown);
  QTest::keyClick(trace.Image, Qt::Key_PageDown);
  QTest::keyClick(trace.Image, Qt::Key_PageUp);
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "1");
  QTest::keyClick(trace.Image, Qt::Key_End);
  EXPECT_EQ(trace.Bt_avance->Position(), 39);
  const int64_t west = trace.Plan.Centre_lon;
  QTest::keyClick(trace.Image, Qt::Key_Left);
  EXPECT_LT(trace.Plan.Centre_lon, west);
  QTest::keyClick(trace.Image, Qt::Key_Plus);
  EXPECT_EQ(trace.Bt_zoom->currentText(), "100 %");

  // 39 steps of ten arc-seconds north-east: 12 km north, 481 pixels at
  // "400 %" and 601 at "500 %".
  QTest::keyClick(trace.Image, Qt::Key_F);
  EXPECT_EQ(trace.Bt_zoom->currentText(), "400 %");
  // V colours the track by speed: every record at the journal's 22 knots,
  // the top, is red.
  QTest::keyClick(trace.Image, Qt::Key_V);
  EXPECT_TRUE(trace.Action_couleur_vitesse->isChecked());
  const track::PointPosition& middle = trace.Liste_points.position(20);
  const viewer::PixelPosition on_track = viewer::Vers_pixel(trace.Plan, middle.lat, middle.lon);
  EXPECT_EQ(trace.Image->Bitmap().pixel(on_track.x, on_track.y), QColor::fromHsv(0, 255, 220).rgb());
  EXPECT_EQ(trace.Plan.Centre_lat, 27'000'000 + kStep * 39 / 2);
  for (int record : {0, 39}) {
    const track::PointPosition& p = trace.Liste_points.position(record);
    EXPECT_TRUE(viewer::Vers_pixel(trace.Plan, p.lat, p.lon).visible) << record;
  }
}

// Other tracks than the journal open by the chooser, a drop and the command
// line; each path shows the new track whole or from its first record.
TEST_F(ViewerExplore, GpxNmeaAndCsvOpenByChooserDropAndCommandLine) {
  const std::string gpx = path("drive.gpx"), nmea = path("drive.nmea"), csv = path("drive.csv");
  std::ofstream(gpx, std::ios::binary) << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n"
                                          "<trkpt lat=\"45.1\" lon=\"6.1\"/><trkpt lat=\"45.2\" lon=\"6.2\"/>\n"
                                          "<trkpt lat=\"45.3\" lon=\"6.3\"/></trkseg></trk></gpx>\n";
  std::ofstream(nmea, std::ios::binary) << "$GNRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,,,A*4C\r\n"
                                           "$GNRMC,123520.00,A,4807.138,N,01131.100,E,022.4,084.4,230394,,,A*46\r\n";
  std::ofstream(csv, std::ios::binary) << "time,lat,lon,speed_knots\n2094-03-23T12:35:19Z,45.5,6.5,22\n";

  chosen = QString::fromStdString(csv);
  trace.Bt_repertoire->click();
  EXPECT_EQ(trace.Chemin_fichier_a_tracer, *chosen);
  EXPECT_EQ(trace.Liste_points.size(), 1u);

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(gpx))});
  QDragEnterEvent enter({100, 100}, Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&trace, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&trace, &drop);
  EXPECT_EQ(trace.Liste_points.size(), 3u);
  EXPECT_EQ(trace.Aff_nb_lignes_total->text(), "2");

  trace.hide();
  const char* argv[] = {"orvanta", "--trace", nmea.c_str()};
  trace.open_on_first_show(QString::fromStdString(*shell::trace_file_argument(3, argv)));
  trace.show();
  EXPECT_TRUE(messages.empty()) << messages[0].text.toStdString();
  EXPECT_EQ(trace.Chemin_fichier_a_tracer.toStdString(), nmea);
  EXPECT_EQ(trace.Liste_points.size(), 2u);
  EXPECT_EQ(trace.Bt_zoom->currentText(), "1000 %");  // the whole 230 m
}

TEST_F(ViewerExplore, StatisticsCoverTheWholeTrackAndTheStretchBetweenTheMarkers) {
  QTest::keyClick(trace.Image, Qt::Key_S);
  ASSERT_TRUE(trace.Statistiques->isVisible());
  EXPECT_EQ(trace.Statistiques->value(0, 0), trace.Aff_longueur_tot->text());
  EXPECT_EQ(trace.Statistiques->value(1, 0), "--");
  EXPECT_EQ(trace.Statistiques->value(0, 1), "23/03/2094 12:35:19");
  QTest::keyClick(trace.Image, Qt::Key_B);  // on the newest record
  QTest::keyClick(trace.Image, Qt::Key_Home);
  for (int i = 0; i < 10; ++i) QTest::keyClick(trace.Image, Qt::Key_PageDown);
  QTest::keyClick(trace.Image, Qt::Key_A);
  const double between = trace.Longueur_totale - trace.Liste_points.Distance_cumulee(10);
  EXPECT_EQ(trace.Statistiques->value(1, 0).toStdString(), track::Format_distance(track::whole_metres(between)));
}

TEST_F(ViewerExplore, TheSpeedProfileTakesRoomUnderThePlanAndPicksARecordByClick) {
  QTest::keyClick(trace.Image, Qt::Key_P);
  ASSERT_TRUE(trace.Profil->isVisible());
  EXPECT_EQ(trace.Image->height(), 539 - 150);
  EXPECT_LE(trace.Profil->columns_drawn(), trace.Profil->width());
  // The records share one time: along the distance, the middle of the graph
  // is about the middle record.
  QTest::keyClick(trace.Image, Qt::Key_D);
  const QRectF plot = trace.Profil->chart()->plotArea();
  QTest::mouseClick(trace.Profil->viewport(), Qt::LeftButton, {}, plot.center().toPoint());
  EXPECT_NEAR(trace.Bt_avance->Position(), 20, 1);
  QTest::keyClick(trace.Image, Qt::Key_P);
  EXPECT_EQ(trace.Image->height(), 539);
}
