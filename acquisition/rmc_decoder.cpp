#include "acquisition/rmc_decoder.h"

#include "common/decimal_integer.h"

#include <string>

namespace acquisition {

bool convert_integer(std::string_view text, int& value) {
  // No field of a sentence comes near a billion: beyond it the text is refused.
  const std::optional<int64_t> v = common::decimal_integer(text, -1'000'000'000, 1'000'000'000);
  if (!v) return false;
  value = static_cast<int>(*v);
  return true;
}

namespace {

constexpr std::string_view kStart = "$GPRMC,";

// Walks the text with bounds checks: every step that would leave the text ends
// the decoding, so no read ever goes past its end.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  size_t pos = 0;

  // Up to `count` characters from the current position (fewer at the end).
  std::string_view take(size_t count) const {
    if (pos >= text_.size()) return {};
    return text_.substr(pos, count);
  }

  // Forward to the next `c`, starting at the current position itself.
  bool find(char c) {
    size_t found = pos < text_.size() ? text_.find(c, pos) : std::string_view::npos;
    if (found == std::string_view::npos) return false;
    pos = found;
    return true;
  }

  // Forward to the next comma, then one character further.
  bool skip_field() {
    if (!find(',')) return false;
    ++pos;
    return true;
  }

  bool single(char& c) const {
    if (pos >= text_.size()) return false;
    c = text_[pos];
    return true;
  }

 private:
  std::string_view text_;
};

bool numeric(Cursor& cur, size_t width, int maximum, std::string& field) {
  std::string_view taken = cur.take(width);
  if (!common::decimal_integer(taken, 0, maximum)) return false;
  field.assign(taken);
  return true;
}

bool hemisphere(const Cursor& cur, std::string_view allowed, std::string& field) {
  char c = 0;
  if (!cur.single(c) || allowed.find(c) == std::string_view::npos) return false;
  field.assign(1, c);
  return true;
}

}  // namespace

int Decodage_GPRMC(std::string_view text, FixFields& f) {
  const size_t start = text.find(kStart);
  if (start == std::string_view::npos) return Trame_invalide;

  Cursor cur(text);
  cur.pos = start;
  if (!cur.skip_field()) return Trame_invalide;
  const size_t t = cur.pos;

  if (!numeric(cur, 2, 23, f.Aff_heure)) return Trame_invalide;
  cur.pos += 2;
  if (!numeric(cur, 2, 59, f.Aff_minute)) return Trame_invalide;
  cur.pos += 2;
  if (!numeric(cur, 2, 59, f.Aff_seconde)) return Trame_invalide;
  cur.pos += 3;
  if (!cur.skip_field()) return Trame_invalide;  // status, whatever its value

  if (!numeric(cur, 2, 90, f.Aff_lat_degres)) return Trame_invalide;
  cur.pos += 2;
  if (!numeric(cur, 2, 59, f.Aff_lat_minutes)) return Trame_invalide;
  cur.pos += 3;
  if (!numeric(cur, 4, 9999, f.Aff_lat_miliemes)) return Trame_invalide;
  if (!cur.skip_field()) return Trame_invalide;
  if (!hemisphere(cur, "NS", f.Aff_lat_NS)) return Trame_invalide;
  if (!cur.skip_field()) return Trame_invalide;

  if (!numeric(cur, 3, 180, f.Aff_lon_degres)) return Trame_invalide;
  cur.pos += 3;
  if (!numeric(cur, 2, 59, f.Aff_lon_minutes)) return Trame_invalide;
  cur.pos += 3;
  if (!numeric(cur, 4, 9999, f.Aff_lon_miliemes)) return Trame_invalide;
  if (!cur.skip_field()) return Trame_invalide;
  if (!hemisphere(cur, "EWO", f.Aff_lon_EW)) return Trame_invalide;
  if (!cur.skip_field()) return Trame_invalide;

  // The speed is copied unchecked, but a line end in it means the sentence
  // broke off there: the fields after it would come from the next sentence,
  // and the journal record would be split over two lines.
  const std::string_view speed = cur.take(3);
  if (speed.find_first_of("\r\n") != std::string_view::npos) return Trame_invalide;
  f.Aff_vitesse.assign(speed);
  if (!cur.skip_field() || !cur.skip_field()) return Trame_invalide;  // speed, course

  if (!numeric(cur, 2, Jour_maximum, f.Aff_jour)) return Trame_invalide;
  cur.pos += 2;
  if (!numeric(cur, 2, Mois_maximum, f.Aff_mois)) return Trame_invalide;
  cur.pos += 2;
  if (!numeric(cur, 2, 99, f.Aff_annee)) return Trame_invalide;
  int year = 0;
  convert_integer(f.Aff_annee, year);
  f.Aff_annee = std::to_string(year + 2000);

  if (!cur.find('*')) return Trame_invalide;
  return cur.pos - t >= 48 ? Trame_complete : Trame_courte;
}

}  // namespace acquisition
