// The texts under and over the plan: the cursor record's date and position,
// and the position under the pointer with where its two panels go. All are
// Windows-1252 bytes (the degree sign is 0xB0).
#pragma once

#include "track/track_points.h"
#include "viewer/plan_geometry.h"

#include <optional>
#include <string>

namespace viewer {

// Date, three blanks, time.
std::string record_date_text(const std::optional<track::Struct_ligne_donnees>& r);
// The position as read, blanks included, latitude and longitude four blanks
// apart.
std::string record_position_text(const std::optional<track::Struct_ligne_donnees>& r);
// Without a record (none shown yet, or its line no longer in the journal)
// both are dashes in the same layout.

// The read-out under the pointer. A southern latitude and an eastern or
// western longitude each have their own form; the western one has no blank
// after the apostrophe.
// Thousandths of a minute keep three digits (12' 091").
std::string latitude_readout(const Coordonnees& c);
std::string longitude_readout(const Coordonnees& c);

// Where the two read-out panels go, in window coordinates, for the pointer at
// (x, y) of the drawing: above the pointer and to its right, to its left past
// x = 120, below it near the top.
struct ReadoutPlacement {
  int left;
  int top1;  // latitude panel
  int top2;  // longitude panel
};
ReadoutPlacement readout_placement(int x, int y, int panel_height);

}  // namespace viewer
