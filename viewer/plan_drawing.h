// Draws the plan into the viewer's 715 x 539 bitmap: white ground, the track
// as a polyline of alternating blue and red segments, then the grid and its
// labels over it. Lines are one pixel wide, never antialiased.
#pragma once

#include "track/track_points.h"
#include "viewer/plan_geometry.h"

#include <QImage>
#include <cstddef>

class QPainter;

namespace viewer {

// A bitmap of the drawing's size and format.
QImage new_plan_bitmap();

// The whole drawing: fill, track with point step `pas`, grid.
void draw_plan(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas);

// Every pas-th point from the first, in order, so the later of two crossing
// segments wins. A segment is drawn only when it ends on a visible point after
// an earlier visible one: one coming in from outside is clipped at the border,
// one going out is not drawn. The segments are written straight into the
// bitmap (Format_RGB32) with the pixels QPainter's one-pixel pen would give.
void Tracer_parcours(QImage& bitmap, const PlanScale& scale, const track::TrackPoints& points, std::size_t pas);

// Meridians and parallels every whole number of degrees that keeps them about
// 30 pixels apart, black at 0 degrees, grey elsewhere, each labelled in an
// opaque white box.
void Tracer_grille(QPainter& painter, const PlanScale& scale);

}  // namespace viewer
