#include "track/import/csv_reader.h"

#include "track/import/line_load.h"
#include "track/utc_time.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace track {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The whole text as a finite number (from_chars ignores the locale).
std::optional<double> number(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// One point's line: four fields, the last two checked by range.
std::optional<TrackSample> point(std::string_view line) {
  std::string_view fields[4];
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t comma = line.find(',');
    if ((comma == std::string_view::npos) != (i == 3)) return std::nullopt;
    fields[i] = line.substr(0, comma);
    line.remove_prefix(i == 3 ? line.size() : comma + 1);
  }
  TrackSample s;
  const std::optional<double> lat = number(fields[1]);
  const std::optional<double> lon = number(fields[2]);
  if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180) return std::nullopt;
  s.lat_degrees = *lat;
  s.lon_degrees = *lon;
  if (!fields[0].empty()) {
    s.time_ms = iso8601_ms(fields[0]);
    if (!s.time_ms) return std::nullopt;
  }
  if (!fields[3].empty()) {
    s.speed_knots = number(fields[3]);
    if (!s.speed_knots || *s.speed_knots < 0) return std::nullopt;
  }
  return s;
}

}  // namespace

LoadOutcome read_csv(ByteSource& source, TrackPoints& points, const LoadProgress& progress) {
  // A line takes some 45 bytes at least.
  points.start_samples(static_cast<std::size_t>(source.size() / 45));
  return for_each_line(source, points, progress, [&points](std::string_view line, int64_t number) {
    if (number == 1) {
      if (line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
      if (line == kCsvHeader) return true;
    }
    if (line.empty()) return true;
    const std::optional<TrackSample> sample = point(line);
    if (sample) points.append(*sample);
    return sample.has_value();
  });
}

}  // namespace track
