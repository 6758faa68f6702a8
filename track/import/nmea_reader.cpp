#include "track/import/nmea_reader.h"

#include "common/nmea_sentence.h"
#include "track/import/line_load.h"
#include "track/utc_time.h"

#include <array>
#include <optional>

namespace track {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;
constexpr std::size_t kMostFields = 20;

// A sentence's fields after its address, split at the commas.
struct Fields {
  std::array<std::string_view, kMostFields> at{};
  std::size_t count = 0;
  std::string_view operator[](std::size_t i) const { return i < count ? at[i] : std::string_view(); }
};

Fields split(std::string_view body) {
  Fields f;
  while (f.count < kMostFields) {
    const std::size_t comma = body.find(',');
    f.at[f.count++] = body.substr(0, comma);
    if (comma == std::string_view::npos) break;
    body.remove_prefix(comma + 1);
  }
  return f;
}

// The sentence between "$" and "*" when its checksum holds or it has none.
std::optional<std::string_view> sentence_body(std::string_view sentence, bool& checked) {
  const std::size_t star = sentence.find('*');
  checked = star != std::string_view::npos;
  if (checked && !common::checksum_holds(sentence, 0)) return std::nullopt;
  return sentence.substr(1, checked ? star - 1 : std::string_view::npos);
}

// Leading digits as a number; `count` of them, or -1.
int64_t digits(std::string_view text, std::size_t count) {
  if (text.size() < count) return -1;
  int64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// "hhmmss" with optional decimals: milliseconds in the day.
std::optional<int64_t> time_of_day(std::string_view text) {
  const int64_t hhmmss = digits(text, 6);
  if (hhmmss < 0) return std::nullopt;
  const int64_t hour = hhmmss / 10000, minute = hhmmss / 100 % 100, second = hhmmss % 100;
  if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
  int64_t millis = 0;
  if (text.size() > 6) {
    if (text[6] != '.') return std::nullopt;
    int64_t scale = 100;
    for (const char c : text.substr(7)) {
      if (c < '0' || c > '9') return std::nullopt;
      millis += (c - '0') * scale;
      scale /= 10;
    }
  }
  return ((hour * 60 + minute) * 60 + second) * 1000 + millis;
}

// "ddmmyy": the day's start in milliseconds since 1970; years 80 to 99 are
// the twentieth century's.
std::optional<int64_t> day_of(std::string_view text) {
  const int64_t ddmmyy = text.size() == 6 ? digits(text, 6) : -1;
  if (ddmmyy < 0) return std::nullopt;
  const int yy = static_cast<int>(ddmmyy % 100);
  return utc_ms(yy >= 80 ? 1900 + yy : 2000 + yy, static_cast<int>(ddmmyy / 100 % 100),
                static_cast<int>(ddmmyy / 10000), 0, 0, 0);
}

// "ddmm.mmmm" (latitude) or "dddmm.mmmm" with its hemisphere letter: signed
// degrees, rounded to the journal's ten-thousandths of a minute.
std::optional<double> angle(std::string_view text, std::string_view hemisphere, char negative, char positive,
                            int64_t most_degrees) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  if (whole.size() < 3 || hemisphere.size() != 1 || (hemisphere[0] != negative && hemisphere[0] != positive)) {
    return std::nullopt;
  }
  const int64_t ddmm = digits(whole, whole.size());
  if (ddmm < 0 || ddmm % 100 > 59 || ddmm / 100 > most_degrees) return std::nullopt;
  // Ten-thousandths of a minute from the decimals, rounded on the fifth.
  int64_t fraction = 0;
  if (point != std::string_view::npos) {
    const std::string_view decimals = text.substr(point + 1);
    int64_t scale = 10000;
    for (const char c : decimals) {
      if (c < '0' || c > '9') return std::nullopt;
      if (scale > 0) fraction += (c - '0') * scale;
      scale /= 10;
    }
    fraction = (fraction + 5) / 10;
  }
  const int64_t units = ddmm / 100 * kUnitsPerDegree + ddmm % 100 * 10000 + fraction;
  if (units > most_degrees * kUnitsPerDegree) return std::nullopt;
  const double degrees = static_cast<double>(units) / kUnitsPerDegree;
  return hemisphere[0] == negative ? -degrees : degrees;
}

// An optional number field: empty is none; anything else must read.
bool optional_number(std::string_view text, std::optional<double>& out) {
  out.reset();
  if (text.empty()) return true;
  std::size_t at = text[0] == '-' ? 1 : 0;
  double value = 0, scale = 0;
  bool any = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '.' && scale == 0) {
      scale = 1;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      scale *= 10;
      any = true;
    } else {
      return false;
    }
  }
  if (!any) return false;
  if (scale > 1) value /= scale;
  out = text[0] == '-' ? -value : value;
  return true;
}

// One fix being gathered from the sentences of its time of day.
struct Fix {
  int64_t time_of_day = 0;
  std::optional<int64_t> day;
  TrackSample sample;
};

class NmeaReader {
 public:
  explicit NmeaReader(TrackPoints& points) : points_(points) {}

  // False: a checksummed fix that does not read.
  bool sentence(std::string_view text) {
    bool checked = false;
    const std::optional<std::string_view> body = sentence_body(text, checked);
    if (!body) return true;
    const Fields f = split(*body);
    if (f[0].size() != 5) return true;
    const std::string_view type = f[0].substr(2);
    std::optional<Fix> fix;
    if (type == "RMC" && f[2] == "A") {
      fix = rmc(f);
    } else if (type == "GGA" && !f[6].empty() && f[6] != "0") {
      fix = gga(f);
    } else {
      return true;
    }
    if (!fix) return !checked;
    add(*fix);
    return true;
  }

  void finish() {
    if (pending_) flush();
  }

 private:
  std::optional<Fix> rmc(const Fields& f) {
    Fix fix;
    const std::optional<int64_t> tod = time_of_day(f[1]);
    const std::optional<double> lat = angle(f[3], f[4], 'S', 'N', 90);
    const std::optional<double> lon = angle(f[5], f[6], 'W', 'E', 180);
    fix.day = day_of(f[9]);
    if (!tod || !lat || !lon || !optional_number(f[7], fix.sample.speed_knots) || (!f[9].empty() && !fix.day)) {
      return std::nullopt;
    }
    fix.time_of_day = *tod;
    fix.sample.lat_degrees = *lat;
    fix.sample.lon_degrees = *lon;
    if (fix.day) {
      last_day_ = fix.day;
      last_rmc_time_of_day_ = *tod;
    }
    return fix;
  }

  std::optional<Fix> gga(const Fields& f) {
    Fix fix;
    const std::optional<int64_t> tod = time_of_day(f[1]);
    const std::optional<double> lat = angle(f[2], f[3], 'S', 'N', 90);
    const std::optional<double> lon = angle(f[4], f[5], 'W', 'E', 180);
    if (!tod || !lat || !lon || !optional_number(f[9], fix.sample.elevation_m)) return std::nullopt;
    fix.time_of_day = *tod;
    fix.sample.lat_degrees = *lat;
    fix.sample.lon_degrees = *lon;
    return fix;
  }

  void add(const Fix& fix) {
    if (pending_ && pending_->time_of_day == fix.time_of_day) {
      TrackSample& s = pending_->sample;
      if (!pending_->day) pending_->day = fix.day;
      if (!s.speed_knots) s.speed_knots = fix.sample.speed_knots;
      if (!s.elevation_m) s.elevation_m = fix.sample.elevation_m;
      return;
    }
    if (pending_) flush();
    pending_ = fix;
  }

  void flush() {
    std::optional<int64_t> day = pending_->day;
    if (!day && last_day_) {
      // A GGA past midnight still has the last RMC's date.
      day = *last_day_ + (pending_->time_of_day + kMsPerDay / 2 < last_rmc_time_of_day_ ? kMsPerDay : 0);
    }
    if (day) pending_->sample.time_ms = *day + pending_->time_of_day;
    points_.append(pending_->sample);
    pending_.reset();
  }

  TrackPoints& points_;
  std::optional<Fix> pending_;
  std::optional<int64_t> last_day_;
  int64_t last_rmc_time_of_day_ = 0;
};

}  // namespace

LoadOutcome read_nmea(ByteSource& source, TrackPoints& points, const LoadProgress& progress) {
  // A fix takes some 150 bytes of RMC and GGA at least.
  points.start_samples(static_cast<std::size_t>(source.size() / 150));
  NmeaReader reader(points);
  return for_each_line(
      source, points, progress,
      [&reader](std::string_view line, int64_t) {
        // Receivers that lose bytes run sentences together: each "$" starts one.
        for (std::size_t start = line.find('$'); start != std::string_view::npos;) {
          const std::size_t next = line.find('$', start + 1);
          if (!reader.sentence(line.substr(start, next - start))) return false;
          start = next;
        }
        return true;
      },
      [&reader] { reader.finish(); });
}

}  // namespace track
