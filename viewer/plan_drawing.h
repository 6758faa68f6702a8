// Draws the plan into the viewer's bitmap: white ground, the grid lines, the
// track over them as a polyline of alternating blue and red segments, then
// the grid's labels. A track lying along a whole degree (a road due east on
// 17° S) stays in sight: a grid line drawn over it would hide it wholly or,
// where its points straddle a pixel row, in pieces. Lines are one pixel wide,
// never antialiased.
#pragma once

#include "track/track_points.h"
#include "viewer/plan_geometry.h"

#include <QImage>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace viewer {

// A bitmap of the drawing's format, white, of its first size by default.
QImage new_plan_bitmap(QSize size = QSize(kPlanWidth, kPlanHeight));

// What a map adds to the drawing: painted over the white fill, under
// everything else, and its caption over everything; and the track's
// northings (TrackNorthings), so that a frame does not work them out again.
struct Ground {
  std::function<void(QPainter&)> under;
  std::function<void(QPainter&)> over;
  std::span<const double> northings;
};

// The whole drawing: fill, grid lines, track with point step `pas`, labels.
// The bitmap is of the scale's size.
// With `speed_top` the track is coloured by speed up to it (knots), with its
// legend.
void draw_plan(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas,
               std::optional<double> speed_top = std::nullopt, const Ground& ground = {});

// Every pas-th point from the first, in order, so the later of two crossing
// segments wins. A segment is drawn only when it ends on a visible point after
// an earlier visible one: one coming in from outside is clipped at the border,
// one going out is not drawn. The segments are written straight into the
// bitmap (Format_RGB32) with the pixels QPainter's one-pixel pen would give.
// On a map, `northings` (one per point) spares working each out; empty, it
// is worked out here.
void Tracer_parcours(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas,
                     std::optional<double> speed_top = std::nullopt, std::span<const double> northings = {});

// Meridians and parallels every whole number of degrees that keeps them about
// 30 pixels apart, black at 0 degrees, grey elsewhere. Gives their labels,
// which draw_grid_labels writes in opaque white boxes.
struct GridLabel {
  int left;
  int top;
  QString text;
};
std::vector<GridLabel> Tracer_grille(QPainter& painter, const PlanScale& scale);
void draw_grid_labels(QPainter& painter, const std::vector<GridLabel>& labels);

}  // namespace viewer
