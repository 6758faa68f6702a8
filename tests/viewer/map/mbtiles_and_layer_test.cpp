#include "support/wait_until.h"
#include "tile_server.h"
#include "viewer/map/map_layer.h"
#include "viewer/map/mbtiles_source.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace viewer::map {
namespace {

using testing_support::PumpUntil;
using testing_support::TileServer;

// Each tile of zooms 3 and 4 in its own colour, stored at its TMS row.
QColor colour_of(const TileId& t) { return QColor::fromRgb(t.zoom * 40, t.x * 15, t.y * 15); }

QString write_mbtiles(const QString& path, const QStringList& metadata) {
  std::vector<TileId> tiles;
  for (int z = 3; z <= 4; ++z)
    for (int x = 0; x < (1 << z); ++x)
      for (int y = 0; y < (1 << z); ++y) tiles.push_back({z, x, y});
  return testing_support::write_mbtiles(path, metadata, tiles, colour_of);
}

TEST(MbTiles, RowsZoomsBoundsAndAttributionFromTheFile) {
  QTemporaryDir dir;
  // Bounds over western Europe: at zoom 4, columns 7 and 8, rows 5 and 6.
  MbTilesSource source({MapSource::Kind::MbTiles,
                        {},
                        write_mbtiles(dir.filePath("a.mbtiles"), {"'bounds', '-5.0,40.0,8.0,51.0'", "'minzoom', '4'",
                                                                  "'maxzoom', '4'", "'attribution', 'Carte de test'"}),
                        ""});
  ASSERT_TRUE(source.is_open()) << source.error().toStdString();
  EXPECT_EQ(source.attribution(), "Carte de test");
  EXPECT_EQ(source.max_zoom(), 4);
  QList<std::pair<TileId, QImage>> arrived;
  QObject::connect(&source, &TileSource::loaded, [&](TileId t, const QImage& i) { arrived.append({t, i}); });
  const std::vector<TileId> tiles{{4, 8, 5}, {4, 7, 6}, {4, 2, 5}, {3, 4, 2}};
  source.request(tiles, tiles);
  ASSERT_TRUE(PumpUntil([&] { return arrived.size() == 4; }));
  for (const auto& [tile, image] : arrived) {
    const bool inside = tile.zoom == 4 && tile.x >= 7;
    EXPECT_EQ(image.isNull(), !inside) << tile.zoom << "/" << tile.x << "/" << tile.y;
    if (inside) {
      EXPECT_EQ(image.pixel(100, 100), colour_of(tile).rgb());
    }
  }
  EXPECT_FALSE(MbTilesSource({MapSource::Kind::MbTiles, {}, dir.filePath("none.mbtiles"), {}}).is_open());
  const MbTilesSource vector(
      {MapSource::Kind::MbTiles, {}, write_mbtiles(dir.filePath("v.mbtiles"), {"'format', 'pbf'"}), {}});
  EXPECT_FALSE(vector.is_open());
  EXPECT_EQ(vector.attribution(), kOpenStreetMapAttribution);
}

TEST(MapLayer, PaintsTheKnownTileAtItsPixelAndTheAttribution) {
  QTemporaryDir dir;
  MapLayer layer(std::make_unique<MbTilesSource>(
      MapSource{MapSource::Kind::MbTiles, {}, write_mbtiles(dir.filePath("b.mbtiles"), {}), "© Test"}));
  int changes = 0;
  QObject::connect(&layer, &MapLayer::changed, [&] { ++changes; });
  // Paris at zoom 4: tile 8/5, 26.11 and 129.11 pixels into it; the view is
  // centred elsewhere and scaled.
  const LatLon paris{48.8583701, 2.2944813};
  const MapView view{lat_lon({8 * 256 - 74, 5 * 256 + 189}, 4), {4, 1.3}, 715, 539};
  QImage frame(715, 539, QImage::Format_RGB32);
  QPainter painter(&frame);
  layer.paint(painter, view);
  EXPECT_EQ(frame.pixel(5, 5), QColor(0xd8, 0xd8, 0xd8).rgb());  // not there yet: grey
  ASSERT_TRUE(PumpUntil([&] { return changes > 0; }));
  PumpUntil([] { return false; }, 100);
  layer.paint(painter, view);
  draw_attribution(painter, frame.rect(), layer.attribution());
  painter.end();
  const MapView::Point p = view.to_screen(paris);
  const QPointF corner(p.x - 26.11 * 1.3, p.y - 129.11 * 1.3);  // the tile's north-west corner
  EXPECT_EQ(frame.pixel((corner + QPointF(1.5, 1.5)).toPoint()), colour_of({4, 8, 5}).rgb());
  EXPECT_EQ(frame.pixel((corner - QPointF(1.5, 1.5)).toPoint()), colour_of({4, 7, 4}).rgb());
  EXPECT_GT(qGray(frame.pixel(713, 537)), 200);  // the attribution's light box over dark tiles
}

}  // namespace
}  // namespace viewer::map
