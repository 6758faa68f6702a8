// A journal converted as a stream: each read is scanned as the viewer scans
// it (same lines accepted, same line numbers, same faults) and written at once
// by a track writer, so neither the track nor the output is ever held whole.
#pragma once

#include "track/export_writer.h"
#include "track/journal_reads.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace track {

struct ExportOutcome {
  enum class Kind { Written, CannotRead, FaultyLine, NothingAccepted, CannotWrite };
  Kind kind = Kind::NothingAccepted;
  // Reads made so far; at a faulty line, that line's number (from 1).
  int64_t lines = 0;
  int64_t points = 0;
  // Accepted records beyond 90° or 180°, left out; the first one's line.
  int64_t off_globe = 0;
  int64_t first_off_globe_line = 0;
};

// Takes the output a block at a time; false stops the conversion.
using ExportSink = std::function<bool(std::string_view block)>;

// Nothing reaches `sink` before the first point, so a journal that fails at
// once writes nothing at all.
ExportOutcome export_journal(ByteSource& source, TrackWriter& writer, const ExportSink& sink);

}  // namespace track
