#include "track/journal_loader.h"

#include "track/journal_walk.h"

namespace track {

LoadOutcome read_journal(const std::shared_ptr<ByteSource>& journal, TrackPoints& points, const LoadProgress& progress,
                         std::chrono::milliseconds interval) {
  using Clock = std::chrono::steady_clock;
  points.start(journal);
  JournalReads reads(*journal);
  LoadOutcome outcome;
  if (progress) progress(0);
  Clock::time_point last_report = Clock::now();
  const JournalWalk end = walk_journal(
      reads, outcome.lines,
      [&] {
        // Looking at the clock every read would cost more than the scan itself.
        if (progress && (outcome.lines & 1023) == 0 && Clock::now() - last_report >= interval) {
          progress(reads.offset());
          last_report = Clock::now();
        }
      },
      [&](std::string_view read, const JournalLine& line) {
        points.append(reads.offset() - read.size(), read, line);
        return true;
      });
  points.finish();
  if (const auto failure = walk_failure<LoadOutcome::Kind>(end)) {
    outcome.kind = *failure;
    return outcome;
  }
  if (progress) progress(reads.offset());
  outcome.kind = points.empty() ? LoadOutcome::Kind::NothingAccepted : LoadOutcome::Kind::Loaded;
  return outcome;
}

}  // namespace track
