// libFuzzer target: any bytes as a journal, handed over in blocks of a size
// taken from the first byte. The reads must give back every byte in order,
// none longer than 119 bytes nor running past an LF, each scanned alike with
// and without the shortcut for the writer's layout, and scanning exactly when
// no field of it is found faulty; the loader must count them all, and every
// point it keeps must lie on the globe, one step of Earth's size at most from
// the one before, with texts taken from the journal, read back by offset.
#include "common/decimal_integer.h"
#include "track/journal_line.h"
#include "track/journal_loader.h"
#include "track/journal_reads.h"
#include "track/track_points.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t chunk = data[0] == 0 ? SIZE_MAX : data[0];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  track::TextSource source(text, chunk);
  track::JournalReads reads(source, 256);
  std::string joined;
  int64_t count = 0;
  std::string_view read;
  while (reads.next(read) == track::JournalReads::Status::Read) {
    if (read.empty() || read.size() > track::kLongestRead) std::abort();
    // The shortcut for the writer's layout reads what the scan field by field reads.
    const std::optional<track::JournalLine> line = track::scan_journal_line(read);
    const std::optional<track::JournalLine> fields = track::scan_journal_fields(read);
    if (line.has_value() != fields.has_value()) std::abort();
    if (line && (line->ends != fields->ends || line->position().lat != fields->position().lat ||
                 line->position().lon != fields->position().lon)) {
      std::abort();
    }
    const std::size_t lf = read.find('\n');
    if (lf != std::string_view::npos && lf + 1 != read.size()) std::abort();
    if (line.has_value() != (track::faulty_field(read) == track::kFieldCount)) std::abort();
    joined.append(read);
    ++count;
  }
  if (joined != text || reads.offset() != text.size()) std::abort();

  track::TrackPoints points;
  const track::LoadOutcome outcome = track::read_journal(std::make_shared<track::TextSource>(text, chunk), points, {});
  using Kind = track::LoadOutcome::Kind;
  if ((outcome.kind == Kind::Loaded || outcome.kind == Kind::NothingAccepted) && outcome.lines != count) std::abort();
  if (outcome.kind == Kind::FaultyLine && (outcome.lines < 1 || outcome.lines > count)) std::abort();
  // A faulty line stops the load; the points read before it may stay.
  if (outcome.kind == Kind::Loaded && points.empty()) std::abort();
  if (outcome.kind == Kind::NothingAccepted && !points.empty()) std::abort();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const track::PointPosition& p = points.position(i);
    if (std::abs(p.lat) > track::angle_units(90, 59, 9999, false)) std::abort();
    if (std::abs(int64_t{p.lon}) > 9 * track::kUnitsPerTurn) std::abort();
    // Every step is a length, and a step of a track on Earth is never longer than half its circumference.
    const double step =
        i == 0 ? points.Distance_cumulee(0) : points.Distance_cumulee(i) - points.Distance_cumulee(i - 1);
    if (!(step >= 0 && step < 20.1e6)) std::abort();
    const std::optional<track::Struct_ligne_donnees> r = points[i];
    if (!r) std::abort();
    for (const std::string* field : {&r->Date, &r->Heure, &r->Lat_degres, &r->Lat_minutes, &r->Lat_fraction}) {
      if (text.find(*field) == std::string_view::npos) std::abort();
    }
    if (common::decimal_integer(r->Lat_degres, 0, 90) != p.lat_degres()) std::abort();
  }
  return 0;
}
