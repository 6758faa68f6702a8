#include "track/import/gpx_reader.h"

#include "track/import/text_lines.h"
#include "track/utc_time.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace track {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3600 / 1852.0;

enum class Field { None, Time, Elevation, Speed, SpeedKnots };

// An XML text as the ASCII it must be for a number or a time, blanks around
// it dropped; false for any other character.
bool ascii(QStringView text, std::string& out) {
  for (const QChar c : text) {
    if (c.unicode() > 127) return false;
    out += static_cast<char>(c.unicode());
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::optional<double> number(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

class GpxReader {
 public:
  GpxReader(QIODevice& device, TrackPoints& points) : xml_(&device), points_(points) {}

  // False on a fault; line() then names it.
  bool read(ProgressTicker& ticker, QIODevice& device) {
    while (!xml_.atEnd()) {
      switch (xml_.readNext()) {
        case QXmlStreamReader::StartElement:
          if (!start_element()) return false;
          break;
        case QXmlStreamReader::Characters:
          if (field_ != Field::None && !ascii(xml_.text(), text_)) return false;
          break;
        case QXmlStreamReader::EndElement:
          if (!end_element()) return false;
          ticker.tick(static_cast<uint64_t>(device.pos()));
          break;
        default:
          break;
      }
    }
    return !xml_.hasError();
  }

  int64_t line() const { return xml_.lineNumber(); }

 private:
  bool start_element() {
    ++depth_;
    const QStringView name = xml_.name();
    if (depth_ == 1) return name == u"gpx";
    if (point_depth_ == 0) {
      if (name != u"trkpt" && name != u"rtept") return true;
      point_depth_ = depth_;
      sample_ = TrackSample();
      knots_.reset();
      const QXmlStreamAttributes attributes = xml_.attributes();
      const std::optional<double> lat = attribute(attributes, QLatin1StringView("lat"));
      const std::optional<double> lon = attribute(attributes, QLatin1StringView("lon"));
      if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180) return false;
      sample_.lat_degrees = *lat;
      sample_.lon_degrees = *lon;
      return true;
    }
    field_ = name == u"time"                                                         ? Field::Time
             : name == u"ele"                                                        ? Field::Elevation
             : name == u"speed"                                                      ? Field::Speed
             : name == u"speed_knots" && xml_.namespaceUri() == kOrvantaGpxNamespace ? Field::SpeedKnots
                                                                                     : Field::None;
    text_.clear();
    return true;
  }

  bool end_element() {
    const int depth = depth_--;
    if (depth == point_depth_) {
      point_depth_ = 0;
      // Our own speed is the one written as recorded, in the journal's unit.
      if (knots_) sample_.speed_knots = knots_;
      points_.append(sample_);
      return true;
    }
    const Field field = field_;
    field_ = Field::None;
    switch (field) {
      case Field::None:
        return true;
      case Field::Time:
        sample_.time_ms = iso8601_ms(trimmed(text_));
        return sample_.time_ms.has_value();
      case Field::Elevation:
        sample_.elevation_m = number(text_);
        return sample_.elevation_m.has_value();
      case Field::Speed: {
        const std::optional<double> metres_per_second = number(text_);
        if (!metres_per_second) return false;
        sample_.speed_knots = *metres_per_second * kKnotsPerMetrePerSecond;
        return true;
      }
      case Field::SpeedKnots:
        knots_ = number(text_);
        return knots_.has_value();
    }
    return true;
  }

  std::optional<double> attribute(const QXmlStreamAttributes& attributes, QLatin1StringView name) {
    text_.clear();
    if (!ascii(attributes.value(name), text_)) return std::nullopt;
    return number(text_);
  }

  QXmlStreamReader xml_;
  TrackPoints& points_;
  int depth_ = 0;
  int point_depth_ = 0;
  Field field_ = Field::None;
  std::string text_;
  TrackSample sample_;
  std::optional<double> knots_;
};

}  // namespace

LoadOutcome read_gpx(QIODevice& device, uint64_t size, TrackPoints& points, const LoadProgress& progress) {
  // A point takes some 50 bytes at least.
  points.start_samples(static_cast<std::size_t>(size / 50));
  ProgressTicker ticker(progress, std::chrono::milliseconds(30));
  ticker.tick_now(0);
  GpxReader reader(device, points);
  LoadOutcome outcome;
  const bool read = reader.read(ticker, device);
  outcome.lines = reader.line();
  if (!read) {
    outcome.kind = LoadOutcome::Kind::FaultyLine;
    return outcome;
  }
  points.finish();
  if (progress) progress(size);
  outcome.kind = points.empty() ? LoadOutcome::Kind::NothingAccepted : LoadOutcome::Kind::Loaded;
  return outcome;
}

}  // namespace track
