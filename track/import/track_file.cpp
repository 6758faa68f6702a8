#include "track/import/track_file.h"

#include "track/import/csv_reader.h"
#include "track/import/gpx_reader.h"
#include "track/import/nmea_reader.h"
#include "track/journal_file.h"
#include "track/load_messages.h"

#include <QFile>

namespace track {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Enough for an XML prolog with its comments, or a log's header comments.
constexpr std::size_t kSniffedBytes = 4096;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The name of the first element of an XML text, past its prolog, comments
// and processing instructions, without its namespace prefix.
std::string_view root_element(std::string_view text) {
  for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    const std::string_view rest = text.substr(at + 1);
    if (rest.starts_with('?') || rest.starts_with('!')) continue;
    std::string_view name = rest.substr(0, rest.find_first_of(" \t\r\n/>"));
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    return name;
  }
  return {};
}

// Whether a line starts with an NMEA address: "$" (or "!"), then letters and
// digits up to a comma.
bool nmea_line(std::string_view line) {
  if (line.size() < 7 || (line[0] != '$' && line[0] != '!')) return false;
  for (std::size_t i = 1; i < 6; ++i) {
    if (!std::isalnum(static_cast<unsigned char>(line[i]))) return false;
  }
  return line[6] == ',';
}

}  // namespace

std::optional<TrackFormat> sniff_track_format(std::string_view first_bytes) {
  std::string_view text = first_bytes.substr(0, kSniffedBytes);
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::size_t start = 0;
  while (start < text.size() && is_blank(text[start])) ++start;
  if (start < text.size() && text[start] == '<') {
    if (root_element(text.substr(start)) == "gpx") return TrackFormat::Gpx;
    return std::nullopt;
  }
  if (text.starts_with(kCsvHeader) &&
      (text.size() == kCsvHeader.size() || text[kCsvHeader.size()] == '\r' || text[kCsvHeader.size()] == '\n')) {
    return TrackFormat::Csv;
  }
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t lf = text.find('\n', at);
    if (nmea_line(text.substr(at, lf - at))) return TrackFormat::Nmea;
    if (lf == std::string_view::npos) break;
    at = lf + 1;
  }
  return TrackFormat::Journal;
}

OpenOutcome read_track_file(const std::string& path, TrackPoints& points, const LoadProgress& progress) {
  using Kind = LoadOutcome::Kind;
  const std::shared_ptr<JournalFile> file = JournalFile::open(path);
  if (!file) return {Kind::CannotRead, 0, cannot_open_message(path), std::nullopt};
  char first[kSniffedBytes];
  const std::optional<std::size_t> got = file->read_at(0, first, sizeof first);
  if (!got) return {Kind::CannotRead, 0, cannot_read_message(path), std::nullopt};
  const std::optional<TrackFormat> format = sniff_track_format(std::string_view(first, *got));
  if (!format) return {Kind::NothingAccepted, 0, unknown_format_message(path), std::nullopt};

  TrackPoints fresh;
  LoadOutcome outcome;
  switch (*format) {
    case TrackFormat::Journal:
      outcome = read_journal(file, fresh, progress);
      break;
    case TrackFormat::Nmea:
      outcome = read_nmea(*file, fresh, progress);
      break;
    case TrackFormat::Csv:
      outcome = read_csv(*file, fresh, progress);
      break;
    case TrackFormat::Gpx: {
      // QFile on the descriptor already opened and checked, so the path
      // cannot be swapped for a device in between.
      QFile device;
      if (!device.open(file->descriptor(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        return {Kind::CannotRead, 0, cannot_read_message(path), format};
      }
      outcome = read_gpx(device, file->size(), fresh, progress);
      break;
    }
  }
  switch (outcome.kind) {
    case Kind::CannotRead:
      return {outcome.kind, outcome.lines, cannot_read_message(path), format};
    case Kind::FaultyLine:
      return {outcome.kind, outcome.lines, faulty_line_message(path, outcome.lines), format};
    case Kind::NothingAccepted:
      return {outcome.kind, outcome.lines, nothing_accepted_message(path), format};
    case Kind::Loaded:
      break;
  }
  points.swap(fresh);
  return {Kind::Loaded, outcome.lines, {}, format};
}

}  // namespace track
