#include "track/export_stream.h"

#include "track/journal_walk.h"

namespace track {

namespace {
// Output is handed on in blocks of about this size.
constexpr std::size_t kBlock = std::size_t{1} << 20;
}  // namespace

ExportOutcome export_journal(ByteSource& source, TrackWriter& writer, const ExportSink& sink,
                             const SkippedLine& skipped) {
  ExportOutcome outcome;
  JournalReads reads(source);
  std::string out;
  out.reserve(kBlock + 4096);
  ExportPoint point;
  bool written = true;
  const JournalWalk end = walk_journal(
      reads, outcome.lines, [] {},
      [&](std::string_view read, const JournalLine& line) {
        make_export_point(read, line, point);
        if (!point.on_the_globe()) {
          if (outcome.off_globe++ == 0) outcome.first_off_globe_line = outcome.lines;
          return true;
        }
        if (outcome.points++ == 0) writer.begin(out);
        writer.point(point, out);
        if (out.size() < kBlock) return true;
        written = sink(out);
        out.clear();
        return written;
      },
      [&](std::string_view read) {
        if (!skipped) return false;
        ++outcome.skipped;
        skipped(outcome.lines, faulty_field(read));
        return true;
      });
  if (const auto failure = walk_failure<ExportOutcome::Kind>(end)) {
    outcome.kind = *failure;
    return outcome;
  }
  if (!written) {
    outcome.kind = ExportOutcome::Kind::CannotWrite;
    return outcome;
  }
  if (outcome.points == 0) return outcome;
  writer.end(out);
  outcome.kind = sink(out) ? ExportOutcome::Kind::Written : ExportOutcome::Kind::CannotWrite;
  return outcome;
}

}  // namespace track
