#include "viewer/map/map_source.h"

#include "viewer/map/web_mercator.h"

#include <QCryptographicHash>

namespace viewer::map {

QString tile_url(const QString& url_template, const TileId& tile) {
  static const char* const kSubdomains[] = {"a", "b", "c"};
  QString url = url_template;
  url.replace(QLatin1String("{z}"), QString::number(tile.zoom));
  url.replace(QLatin1String("{x}"), QString::number(tile.x));
  url.replace(QLatin1String("{-y}"), QString::number(tms_row(tile.y, tile.zoom)));
  url.replace(QLatin1String("{y}"), QString::number(tile.y));
  url.replace(QLatin1String("{s}"), QLatin1String(kSubdomains[(tile.x + tile.y) % 3]));
  return url;
}

QString attribution_or_default(const QString& given, const QString& from_data) {
  if (!given.trimmed().isEmpty()) return given;
  if (!from_data.trimmed().isEmpty()) return from_data;
  return QString::fromUtf8(kOpenStreetMapAttribution);
}

QString cache_folder_name(const QString& url_template) {
  const QByteArray digest = QCryptographicHash::hash(url_template.toUtf8(), QCryptographicHash::Sha256);
  return QString::fromLatin1(digest.toHex().left(16));
}

}  // namespace viewer::map
