// Colouring the track by speed: each step takes the colour of the speed
// recorded at its end, from blue (standing) through green to red (the
// track's top speed), grey where the point has no speed; a legend tells the
// scale. The alternating colours stay the plan's default.
#pragma once

#include "track/track_points.h"
#include "viewer/plan_geometry.h"

#include <QRgb>
#include <optional>

class QPainter;

namespace viewer {

// The highest recorded speed of the track; nothing when no point has one
// above zero.
std::optional<double> top_speed_knots(const track::TrackPoints& points);

QRgb speed_colour(std::optional<double> knots, double top_knots);

// The scale in the drawing's top right corner, in km/h.
void draw_speed_legend(QPainter& painter, const PlanScale& scale, double top_knots);

}  // namespace viewer
