// The map the user picks to lie under the track: none (the plain plan, no
// network use), a tile server given by a URL template, or an MBTiles file.
#pragma once

#include "viewer/map/tile_id.h"

#include <QString>

namespace viewer::map {

inline constexpr const char* kOpenStreetMapTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr const char* kOpenStreetMapAttribution = "© OpenStreetMap contributors";

struct MapSource {
  enum class Kind { None, TileServer, MbTiles };
  Kind kind = Kind::None;
  QString url_template;  // TileServer
  QString path;          // MbTiles
  // Drawn in a corner. Empty: the MBTiles file's own, otherwise (and for a
  // tile server) kOpenStreetMapAttribution.
  QString attribution;
};

// The attribution given, or else the one from the source's data, or else
// OpenStreetMap's.
QString attribution_or_default(const QString& given, const QString& from_data = {});

// The URL of a tile: {z}, {x}, {y} replaced by the tile's numbers, {-y} by its
// row counted from the south, {s} by one of the subdomains a, b, c (the same
// for a tile every time, so caches along the way are reused). Other
// placeholders are left as they are.
QString tile_url(const QString& url_template, const TileId& tile);

// A short name for the template, fit for a folder name, the same in every run.
QString cache_folder_name(const QString& url_template);

}  // namespace viewer::map
