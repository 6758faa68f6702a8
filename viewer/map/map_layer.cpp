#include "viewer/map/map_layer.h"

#include <QPainter>
#include <utility>

namespace viewer::map {

size_t qHash(const TileId& tile, size_t seed = 0) noexcept { return TileIdHash{}(tile) ^ seed; }

namespace {

const QColor kMissingTile(0xd8, 0xd8, 0xd8);

}  // namespace

MapLayer::MapLayer(std::unique_ptr<TileSource> source, QObject* parent) : QObject(parent), source_(std::move(source)) {
  connect(source_.get(), &TileSource::loaded, this, &MapLayer::loaded);
  connect(source_.get(), &TileSource::status_changed, this, [this](const QString& message) {
    status_ = message;
    // Back from offline: what failed is worth asking for again.
    if (message.isEmpty()) absent_.clear();
    emit status_changed(message);
    emit changed();
  });
}

TileZoom MapLayer::tile_zoom_for(int zoom_index, double latitude) const {
  return tile_zoom_for_step(zoom_index, latitude, source_->min_zoom(), source_->max_zoom());
}

void MapLayer::paint(QPainter& painter, const MapView& view) {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, view.tile_zoom.scale != 1.0);
  const std::vector<TilePlacement> around = tiles_in_view(view, 1);
  std::vector<TileId> missing;
  std::vector<TileId> keep;
  wanted_.clear();
  const QRectF screen(0, 0, view.width, view.height);
  for (const TilePlacement& p : around) {
    const QRectF target(p.left, p.top, p.size, p.size);
    const bool on_screen = target.intersects(screen);
    if (!wanted_.insert(p.tile).second) {  // the same tile again, the world being narrower than the view
      if (const QImage* image = images_.object(p.tile); on_screen && image != nullptr)
        painter.drawImage(target, *image);
      continue;
    }
    keep.push_back(p.tile);
    // object() leaves the least recently painted at the back of the cache.
    if (const QImage* image = images_.object(p.tile)) {
      if (on_screen) painter.drawImage(target, *image);
      continue;
    }
    if (on_screen) painter.fillRect(target, kMissingTile);
    if (absent_.count(p.tile) == 0) missing.push_back(p.tile);
  }
  painter.restore();
  source_->request(missing, keep);
}

void MapLayer::loaded(const TileId& tile, const QImage& image) {
  if (image.isNull()) {
    if (!absent_.insert(tile).second) return;  // painted grey already
  } else {
    absent_.erase(tile);
    images_.insert(tile, new QImage(image), image.sizeInBytes());
  }
  if (wanted_.count(tile) != 0) emit changed();
}

void draw_attribution(QPainter& painter, const QRect& area, const QString& text) {
  if (text.isEmpty()) return;
  painter.save();
  QFont font = painter.font();
  font.setPixelSize(11);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int margin = 3;
  const QSize size(metrics.horizontalAdvance(text) + 2 * margin, metrics.height());
  const QRect box(area.right() + 1 - size.width(), area.bottom() + 1 - size.height(), size.width(), size.height());
  painter.fillRect(box, QColor(255, 255, 255, 200));
  painter.setPen(Qt::black);
  painter.drawText(box, Qt::AlignCenter, text);
  painter.restore();
}

}  // namespace viewer::map
