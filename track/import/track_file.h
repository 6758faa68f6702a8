// Opening any track file the viewer accepts: the journal, GPX 1.0 and 1.1,
// NMEA logs and the CSV of orvanta-export, told apart by their content, not
// their name.
#pragma once

#include "track/journal_loader.h"
#include "track/track_points.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace track {

enum class TrackFormat { Journal, Gpx, Nmea, Csv };

// The format of a file from its first bytes (a few KiB are enough): a GPX
// root element, the CSV's header line, or a line starting with "$" as NMEA
// sentences do. Anything else is read as a journal, which tells what it
// thinks of it as it always has; nothing only for XML other than GPX.
std::optional<TrackFormat> sniff_track_format(std::string_view first_bytes);

struct OpenOutcome {
  LoadOutcome::Kind kind = LoadOutcome::Kind::NothingAccepted;
  // A faulty line's number (from 1); else the lines read.
  int64_t line = 0;
  // What to tell the user, in French and UTF-8; empty once loaded.
  std::string message;
  // What the file was read as; nothing when it could not be told.
  std::optional<TrackFormat> format;
};

// Reads the file at `path` into `points`, which keep the previous track
// unless it loads: a failed read leaves them untouched. `progress` is told
// the byte offset reached, as read_journal tells it.
OpenOutcome read_track_file(const std::string& path, TrackPoints& points, const LoadProgress& progress);

}  // namespace track
