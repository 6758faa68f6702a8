#include "track/export_writer.h"

namespace track {

std::unique_ptr<TrackWriter> make_track_writer(std::string_view format) {
  if (format == "gpx") return make_gpx_writer();
  if (format == "kml") return make_kml_writer();
  if (format == "csv") return make_csv_writer();
  return nullptr;
}

}  // namespace track
