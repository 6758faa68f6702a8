#include "track/export_stream.h"

#include "track/journal_walk.h"

namespace track {

namespace {
// Output is handed on in blocks of about this size.
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Whether the journal's first read shows lines ended by a CR alone: no LF in
// the longest read, and a CR with more text after it.
bool ends_lines_with_cr_alone(std::string_view first_read) {
  const size_t cr = first_read.find('\r');
  return first_read.find('\n') == std::string_view::npos && cr != std::string_view::npos && cr + 1 < first_read.size();
}

}  // namespace

ExportOutcome export_journal(ByteSource& source, TrackWriter& writer, const ExportSink& sink,
                             const SkippedLine& skipped) {
  ExportOutcome outcome;
  JournalReads reads(source);
  std::string out;
  out.reserve(kBlock + 4096);
  ExportPoint point;
  bool written = true;
  bool cr_alone = false;
  const auto refused_whole = [&](std::string_view read) {
    if (outcome.lines == 1 && ends_lines_with_cr_alone(read)) cr_alone = true;
    return cr_alone;
  };
  const JournalWalk end = walk_journal(
      reads, outcome.lines, [] {},
      [&](std::string_view read, const JournalLine& line) {
        if (refused_whole(read)) return false;
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
        if (refused_whole(read) || !skipped) return false;
        ++outcome.skipped;
        skipped(outcome.lines, faulty_field(read));
        return true;
      });
  if (cr_alone) {
    outcome.kind = ExportOutcome::Kind::CrOnlyLineEnds;
    return outcome;
  }
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
