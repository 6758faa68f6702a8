#include "viewer/journal_loader.h"

#include "viewer/journal_line.h"

namespace viewer {

LoadOutcome read_journal(const std::shared_ptr<ByteSource>& journal, TrackPoints& points, const LoadProgress& progress,
                         std::chrono::milliseconds interval) {
  using Clock = std::chrono::steady_clock;
  points.start(journal);
  JournalReads reads(*journal);
  LoadOutcome outcome;
  if (progress) progress(0);
  Clock::time_point last_report = Clock::now();
  std::string_view read;
  for (;;) {
    const JournalReads::Status status = reads.next(read);
    if (status == JournalReads::Status::Failed) {
      outcome.kind = LoadOutcome::Kind::CannotRead;
      return outcome;
    }
    if (status == JournalReads::Status::End) break;
    ++outcome.lines;
    // Looking at the clock every read would cost more than the scan itself.
    if (progress && (outcome.lines & 1023) == 0 && Clock::now() - last_report >= interval) {
      progress(reads.offset());
      last_report = Clock::now();
    }
    if (read.size() < kShortestLine) continue;
    const std::optional<JournalLine> line = scan_journal_line(read);
    if (!line) {
      outcome.kind = LoadOutcome::Kind::FaultyLine;
      return outcome;
    }
    points.append(reads.offset() - read.size(), *line);
  }
  if (progress) progress(reads.offset());
  outcome.kind = points.empty() ? LoadOutcome::Kind::NothingAccepted : LoadOutcome::Kind::Loaded;
  return outcome;
}

}  // namespace viewer
