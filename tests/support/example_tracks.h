// Tracks laid out leg by leg on the WGS84 ellipsoid with GeographicLib, for
// the viewer's distances and pictures: each one a user somewhere meets.
#pragma once

#include "support/journal_text.h"
#include "track/track_position.h"

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <string>
#include <vector>

namespace viewer_test {

inline int32_t units(double degrees) { return static_cast<int32_t>(std::lround(degrees * track::kUnitsPerDegree)); }

struct Leg {
  double azimuth, step;  // degrees clockwise from north; metres between fixes
  int steps;
};

struct ExampleTrack {
  const char* name;
  double lat, lon;        // the first fix, degrees
  std::vector<Leg> legs;  // 2.5 km at most: at "1000 %" the track fits the drawing
};

inline const std::vector<ExampleTrack> kExampleTracks = {
    {"a walk north-east at 45 N, a fix every 4.2 m", 45.0, 6.0, {{45, 4.2, 999}}},
    {"north then west, in Brittany", 48.2, -4.3, {{0, 20, 100}, {270, 20, 100}}},
    {"east across the prime meridian in London", 51.5, -0.01, {{90, 15, 100}}},
    {"north then east, in Cape Town", -33.92, 18.42, {{0, 20, 100}, {90, 20, 50}}},
    {"north across the equator", -0.005, 32.5, {{0, 12, 100}}},
    {"east across the 180th meridian, in Fiji", -16.8, 179.99, {{90, 25, 100}}},
};

// A record a fix at the journal's precision, longitudes within 180° of Greenwich.
inline std::string journal(const ExampleTrack& t) {
  double lat = t.lat, lon = t.lon;
  std::string text = record_at(units(lat), units(lon));
  for (const Leg& leg : t.legs) {
    for (int i = 0; i < leg.steps; ++i) {
      GeographicLib::Geodesic::WGS84().Direct(lat, lon, leg.azimuth, leg.step, lat, lon);
      text += record_at(units(lat), units(lon));
    }
  }
  return text;
}

}  // namespace viewer_test
