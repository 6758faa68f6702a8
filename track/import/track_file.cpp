#include "track/import/track_file.h"

#include "track/journal_file.h"
#include "track/load_messages.h"

namespace track {

std::optional<TrackFormat> sniff_track_format(std::string_view first_bytes) {
  (void)first_bytes;
  return TrackFormat::Journal;
}

OpenOutcome read_track_file(const std::string& path, TrackPoints& points, const LoadProgress& progress) {
  using Kind = LoadOutcome::Kind;
  const std::shared_ptr<JournalFile> file = JournalFile::open(path);
  if (!file) return {Kind::CannotRead, 0, cannot_open_message(path)};
  TrackPoints fresh;
  const LoadOutcome outcome = read_journal(file, fresh, progress);
  switch (outcome.kind) {
    case Kind::CannotRead:
      return {outcome.kind, outcome.lines, cannot_read_message(path)};
    case Kind::FaultyLine:
      return {outcome.kind, outcome.lines, faulty_line_message(path, outcome.lines)};
    case Kind::NothingAccepted:
      return {outcome.kind, outcome.lines, nothing_accepted_message(path)};
    case Kind::Loaded:
      break;
  }
  points.swap(fresh);
  return {Kind::Loaded, outcome.lines, {}};
}

}  // namespace track
