#include "track/import/line_load.h"

#include "track/import/text_lines.h"

namespace track {

LoadOutcome for_each_line(ByteSource& source, TrackPoints& points, const LoadProgress& progress,
                          const std::function<bool(std::string_view line, int64_t number)>& take,
                          const std::function<void()>& after_last) {
  TextLines lines(source);
  ProgressTicker ticker(progress, std::chrono::milliseconds(30));
  ticker.tick_now(0);
  LoadOutcome outcome;
  std::string_view line;
  for (;;) {
    const TextLines::Status status = lines.next(line);
    outcome.lines = lines.number();
    if (status == TextLines::Status::Failed) {
      outcome.kind = LoadOutcome::Kind::CannotRead;
      return outcome;
    }
    if (status == TextLines::Status::End) break;
    ticker.tick(lines.offset());
    if (!take(line, lines.number())) {
      outcome.kind = LoadOutcome::Kind::FaultyLine;
      return outcome;
    }
  }
  if (after_last) after_last();
  points.finish();
  if (progress) progress(lines.offset());
  outcome.kind = points.empty() ? LoadOutcome::Kind::NothingAccepted : LoadOutcome::Kind::Loaded;
  return outcome;
}

}  // namespace track
