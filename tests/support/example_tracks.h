// Tracks laid out on the WGS84 ellipsoid with GeographicLib, leg by leg, as
// journals: for the viewer's distances and pictures.
#pragma once

#include "support/journal_text.h"
#include "track/track_position.h"

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <string>
#include <vector>

namespace viewer_test {

struct Leg {
  double azimuth;  // degrees clockwise from north
  double step;     // metres between fixes
  int steps;
};

struct ExampleTrack {
  const char* name;
  double lat, lon;        // the first fix, degrees
  std::vector<Leg> legs;  // each 2.5 km at most: at "1000 %" a track fits the drawing

  // Every fix at the journal's precision, signed, longitudes as written
  // (within 180° of Greenwich); legs[k] ends at fixes[leg_end(k)].
  std::vector<track::PointPosition> fixes() const {
    auto units = [](double degrees) { return static_cast<int32_t>(std::lround(degrees * track::kUnitsPerDegree)); };
    std::vector<track::PointPosition> out{{units(lat), units(lon)}};
    double at_lat = lat, at_lon = lon;
    for (const Leg& leg : legs) {
      for (int i = 0; i < leg.steps; ++i) {
        GeographicLib::Geodesic::WGS84().Direct(at_lat, at_lon, leg.azimuth, leg.step, at_lat, at_lon);
        out.push_back({units(at_lat), units(at_lon)});
      }
    }
    return out;
  }
  std::size_t leg_end(std::size_t k) const {
    std::size_t end = 0;
    for (std::size_t i = 0; i <= k; ++i) end += legs[i].steps;
    return end;
  }
  std::string journal() const {
    std::string text;
    for (const track::PointPosition& p : fixes()) text += record_at(p.lat, p.lon);
    return text;
  }
};

// The tracks a user anywhere meets: each drawn as it lies, measured as the
// geodesic.
inline const std::vector<ExampleTrack>& example_tracks() {
  static const std::vector<ExampleTrack> tracks = {
      {"a walk north-east at 45 N, a fix every 4.2 m", 45.0, 6.0, {{45, 4.2, 999}}},
      {"north then west, in Brittany", 48.2, -4.3, {{0, 20, 100}, {270, 20, 100}}},
      {"east across the prime meridian in London", 51.5, -0.01, {{90, 15, 100}}},
      {"north then east, in Cape Town", -33.92, 18.42, {{0, 20, 100}, {90, 20, 50}}},
      {"north across the equator", -0.005, 32.5, {{0, 12, 100}}},
      {"east across the 180th meridian, in Fiji", -16.8, 179.99, {{90, 25, 100}}},
  };
  return tracks;
}

// The sum of GeographicLib's geodesics between consecutive fixes.
inline double geodesic_length(const std::vector<track::PointPosition>& fixes) {
  double total = 0;
  for (std::size_t i = 1; i < fixes.size(); ++i) {
    double s12 = 0;
    GeographicLib::Geodesic::WGS84().Inverse(
        fixes[i - 1].lat / double{track::kUnitsPerDegree}, fixes[i - 1].lon / double{track::kUnitsPerDegree},
        fixes[i].lat / double{track::kUnitsPerDegree}, fixes[i].lon / double{track::kUnitsPerDegree}, s12);
    total += s12;
  }
  return total;
}

}  // namespace viewer_test
