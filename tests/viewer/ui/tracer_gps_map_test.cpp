#include "support/tile_files.h"
#include "support/wait_until.h"
#include "viewer/map/web_mercator.h"
#include "viewer/ui/map_under_track.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace {

constexpr int kZoom = 10;  // the only one in the file: every step scales it
// Dark, and different for every tile around the test track (45° N 6° E).
QColor colour_of(int x, int y) { return QColor::fromRgb(40, (x % 40) * 5, (y % 40) * 5); }

void write_mbtiles(const QString& path) {
  std::vector<viewer::map::TileId> tiles;
  for (int x = 520; x < 540; ++x)
    for (int y = 355; y < 375; ++y) tiles.push_back({kZoom, x, y});
  testing_support::write_mbtiles(path, {"'minzoom', '10'", "'maxzoom', '10'", "'attribution', 'Carte d''essai'"}, tiles,
                                 [](const viewer::map::TileId& t) { return colour_of(t.x, t.y); });
}

}  // namespace

class ViewerMap : public ViewerTest {
 protected:
  ViewerMap() {
    write_journal(track_text(40));
    trace.Ouvrir_carte = [this] { return std::optional<QString>(dir.filePath("essai.mbtiles")); };
    trace.show();
  }

  // Record i's pixel, one just off the track beside it (the track runs
  // north-east), and the colour of the tile under that one.
  struct Probe {
    QPoint on, at;
    QRgb tile;
  };
  Probe probe(std::size_t i) const {
    const track::PointPosition& p = trace.Liste_points.position(i);
    const viewer::PixelPosition pixel = viewer::Vers_pixel(trace.Plan, p.lat, p.lon);
    const QPoint at(pixel.x + 4, pixel.y + 4);
    const viewer::PlanPosition under = viewer::position_at(trace.Plan, at.x() + 0.5, at.y() + 0.5);
    const viewer::map::WorldPixel w = viewer::map::world_pixel(
        {double(under.lat) / track::kUnitsPerDegree, double(under.lon) / track::kUnitsPerDegree}, kZoom);
    return {{pixel.x, pixel.y}, at, colour_of(int(w.x) / 256, int(w.y) / 256).rgb()};
  }
};

TEST_F(ViewerMap, TheTrackLiesOnTheChosenMapInThePlanAndTheExportAndNoneLeavesThePlanAsItWas) {
  trace.Bt_zoomClick();
  trace.Trace_preciTimer();
  const QImage plain = trace.Image->Bitmap();
  shell::Settings stored;
  trace.store_settings(stored);
  EXPECT_FALSE(stored.viewer_map);  // untouched: no key written
  EXPECT_EQ(trace.map(), nullptr);  // no source, no network manager nor cache
  write_mbtiles(dir.filePath("essai.mbtiles"));
  trace.Carte->actions().at(3)->trigger();
  ASSERT_TRUE(trace.map() && trace.map()->ready()) << trace.map()->status().toStdString();
  // At several steps, once the tiles have come, the tile under each probe
  // is the one Web Mercator puts there.
  for (int step : {7, 9, 12}) {
    trace.Bt_zoom->setCurrentIndex(step);
    trace.Bt_zoomClick();
    for (std::size_t i : {0, 20, 39}) {
      const Probe p = probe(i);
      ASSERT_TRUE(testing_support::PumpUntil([&] { return trace.Image->Bitmap().pixel(p.at) == p.tile; }))
          << "step " << step << " record " << i;
      const QRgb drawn = trace.Image->Bitmap().pixel(p.on);
      EXPECT_TRUE(drawn == qRgb(255, 0, 0) || drawn == qRgb(0, 0, 255)) << "the track over it, record " << i;
    }
  }
  const QSize size = trace.Image->Bitmap().size();
  EXPECT_GT(qGray(trace.Image->Bitmap().pixel(size.width() - 2, size.height() - 2)), 200);  // the attribution
  const int cursor = trace.Bt_avance->Position();
  QTest::mouseClick(trace.Image, Qt::LeftButton, {}, probe(20).on + QPoint(2, -2));
  EXPECT_EQ(trace.Bt_avance->Position(), 20);  // a click beside a record picks it on the map
  trace.go_to_record(cursor);

  chosen = dir.filePath("export.jpg");
  trace.Bt_exporterClick();
  const QImage exported(*chosen, "JPEG");
  const Probe p = probe(20);
  EXPECT_NEAR(qGray(exported.pixel(p.at)), qGray(p.tile), 6);
  EXPECT_GT(qGray(exported.pixel(size.width() - 2, size.height() - 2)), 200);

  trace.store_settings(stored);
  ASSERT_TRUE(stored.viewer_map && stored.viewer_map->kind == 2);
  EXPECT_EQ(stored.viewer_map->path, dir.filePath("essai.mbtiles").toStdString());

  trace.Bt_zoom->setCurrentIndex(7);
  trace.Carte->actions().at(0)->trigger();
  trace.Bt_zoomClick();
  EXPECT_EQ(trace.map(), nullptr);
  trace.Trace_preciTimer();
  EXPECT_EQ(trace.Image->Bitmap(), plain);
}

TEST_F(ViewerMap, AnUnreadableFileSaysSoQuietlyOnThePlan) {
  trace.Carte->actions().at(3)->trigger();  // the file was never written
  EXPECT_FALSE(trace.Plan.on_map);
  EXPECT_TRUE(trace.Aff_carte->isVisible() && trace.Aff_carte->text().contains("fichier introuvable"));
  EXPECT_TRUE(messages.empty());
}
