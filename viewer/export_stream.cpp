#include "viewer/export_stream.h"

#include "viewer/journal_line.h"

namespace viewer {

namespace {
// Output is handed on in blocks of about this size.
constexpr std::size_t kBlock = std::size_t{1} << 20;
}  // namespace

ExportOutcome export_journal(ByteSource& source, TrackWriter& writer, const ExportSink& sink) {
  ExportOutcome outcome;
  JournalReads reads(source);
  std::string out;
  out.reserve(kBlock + 4096);
  ExportPoint point;
  std::string_view read;
  for (;;) {
    const JournalReads::Status status = reads.next(read);
    if (status == JournalReads::Status::Failed) {
      outcome.kind = ExportOutcome::Kind::CannotRead;
      return outcome;
    }
    if (status == JournalReads::Status::End) break;
    ++outcome.lines;
    if (read.size() < kShortestLine) continue;
    const std::optional<JournalLine> line = scan_journal_line(read);
    if (!line) {
      outcome.kind = ExportOutcome::Kind::FaultyLine;
      return outcome;
    }
    make_export_point(read, *line, point);
    if (!point.on_the_globe()) {
      if (outcome.off_globe++ == 0) outcome.first_off_globe_line = outcome.lines;
      continue;
    }
    if (outcome.points++ == 0) writer.begin(out);
    writer.point(point, out);
    if (out.size() >= kBlock) {
      if (!sink(out)) {
        outcome.kind = ExportOutcome::Kind::CannotWrite;
        return outcome;
      }
      out.clear();
    }
  }
  if (outcome.points == 0) return outcome;
  writer.end(out);
  outcome.kind = sink(out) ? ExportOutcome::Kind::Written : ExportOutcome::Kind::CannotWrite;
  return outcome;
}

}  // namespace viewer
