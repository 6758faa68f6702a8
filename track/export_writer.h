// The standard track formats, written point by point into a text that the
// caller hands on and empties as it likes: a writer keeps nothing per point,
// so a track of any length takes the same memory.
#pragma once

#include "track/export_point.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace track {

class TrackWriter {
 public:
  virtual ~TrackWriter() = default;
  virtual void begin(std::string& out) = 0;
  virtual void point(const ExportPoint& p, std::string& out) = 0;
  virtual void end(std::string& out) = 0;
};

// GPX 1.1: one trk, one trkseg, a trkpt per point with its time and, in our
// own namespace, its speed in knots.
std::unique_ptr<TrackWriter> make_gpx_writer();
// KML 2.2: the track as one LineString (two points at least), then the first
// and the last point as named Placemarks.
std::unique_ptr<TrackWriter> make_kml_writer();
// CSV: "time,lat,lon,speed_knots", then a line per point.
std::unique_ptr<TrackWriter> make_csv_writer();

// "gpx", "kml" or "csv"; nothing for another name.
std::unique_ptr<TrackWriter> make_track_writer(std::string_view format);

}  // namespace track
