// The one way the viewer and the export go through a journal: every read
// counts as a line, reads too short to be a record are passed over, and the
// first line that does not scan ends the walk (unless the caller chooses to
// pass over it), so both accept the same lines and report a fault at the same
// line number.
#pragma once

#include "track/journal_line.h"
#include "track/journal_reads.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace track {

enum class JournalWalk { End, CannotRead, FaultyLine, Stopped };

// `each_read()` runs after every read is counted in `lines`; `each_record(read,
// line)` for every record, and stops the walk by returning false;
// `each_fault(read)` for every read that does not scan, and passes over it by
// returning true.
template <class EachRead, class EachRecord, class EachFault>
JournalWalk walk_journal(JournalReads& reads, int64_t& lines, EachRead&& each_read, EachRecord&& each_record,
                         EachFault&& each_fault) {
  std::string_view read;
  for (;;) {
    const JournalReads::Status status = reads.next(read);
    if (status == JournalReads::Status::Failed) return JournalWalk::CannotRead;
    if (status == JournalReads::Status::End) return JournalWalk::End;
    ++lines;
    each_read();
    if (read.size() < kShortestLine) continue;
    const std::optional<JournalLine> line = scan_journal_line(read);
    if (!line) {
      if (each_fault(read)) continue;
      return JournalWalk::FaultyLine;
    }
    if (!each_record(read, *line)) return JournalWalk::Stopped;
  }
}

// How a walk that failed ends an outcome whose Kind names the same two
// failures; nothing when the walk reached its end or was stopped.
template <class Kind>
std::optional<Kind> walk_failure(JournalWalk end) {
  if (end == JournalWalk::CannotRead) return Kind::CannotRead;
  if (end == JournalWalk::FaultyLine) return Kind::FaultyLine;
  return std::nullopt;
}

// The walk that ends at the first faulty line.
template <class EachRead, class EachRecord>
JournalWalk walk_journal(JournalReads& reads, int64_t& lines, EachRead&& each_read, EachRecord&& each_record) {
  return walk_journal(reads, lines, each_read, each_record, [](std::string_view) { return false; });
}

}  // namespace track
