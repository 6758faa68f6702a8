// A journal converted as a stream: each read is scanned as the viewer scans
// it (same lines accepted, same line numbers, same faults) and written at once
// by a track writer, so neither the track nor the output is ever held whole.
// On request, faulty lines are passed over instead, to save what follows them.
#pragma once

#include "track/export_writer.h"
#include "track/journal_line.h"
#include "track/journal_reads.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace track {

struct ExportOutcome {
  enum class Kind { Written, CannotRead, FaultyLine, NothingAccepted, CannotWrite, CrOnlyLineEnds };
  Kind kind = Kind::NothingAccepted;
  // Reads made so far; at a faulty line, that line's number (from 1).
  int64_t lines = 0;
  int64_t points = 0;
  // Accepted records beyond 90° or 180°, left out; the first one's line.
  int64_t off_globe = 0;
  int64_t first_off_globe_line = 0;
  // Faulty lines passed over.
  int64_t skipped = 0;
};

// Takes the output a block at a time; false stops the conversion.
using ExportSink = std::function<bool(std::string_view block)>;
// Told of a faulty line passed over: its number and the field where its scan
// stopped.
using SkippedLine = std::function<void(int64_t line, JournalField field)>;

// Nothing reaches `sink` before the first point, so a journal that fails at
// once writes nothing at all. A journal whose lines end with CR alone (an
// old Mac's text) is refused whole, before anything is written: the viewer's
// reads cut it every 119 bytes, some of which happen to scan as records, so
// passing over the others would export a random part of the track. Without `skipped`, the first faulty line ends
// the conversion, as it ends the viewer's load; with it, every faulty line is
// told there and passed over.
ExportOutcome export_journal(ByteSource& source, TrackWriter& writer, const ExportSink& sink,
                             const SkippedLine& skipped = {});

}  // namespace track
