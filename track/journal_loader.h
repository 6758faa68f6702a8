// Reads a journal into the track: the reads counted as lines, the short ones
// skipped, the others scanned and appended; the first faulty line stops it.
#pragma once

#include "track/journal_reads.h"
#include "track/track_points.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace track {

struct LoadOutcome {
  enum class Kind { Loaded, CannotRead, FaultyLine, NothingAccepted };
  Kind kind = Kind::NothingAccepted;
  // Reads made so far; at a faulty line, that line's number (from 1).
  int64_t lines = 0;
};

// Called with the byte offset reached, at the start, then about every
// `interval` while reading, and at the end.
using LoadProgress = std::function<void(uint64_t offset)>;

// Empties `points` first; the points keep the journal to re-read their
// records. Points accepted before a faulty line stay.
LoadOutcome read_journal(const std::shared_ptr<ByteSource>& journal, TrackPoints& points, const LoadProgress& progress,
                         std::chrono::milliseconds interval = std::chrono::milliseconds(30));

}  // namespace track
