#include "track/journal_line.h"

#include "common/decimal_integer.h"
#include "journal/journal_layout.h"

#include <array>
#include <bit>
#include <cstring>

namespace track {

namespace {

// The logger writes every record with the same widths, 65 bytes with its
// CR LF. Such a line is checked eight bytes at a time against this layout and
// read at fixed offsets, which gives what the field by field scan below
// gives; every other line goes through that scan. In the layout, x is any
// byte but a TAB, y any byte but a CR, # a digit, ? a hemisphere letter
// (checked on its own) and every other byte itself.
constexpr std::size_t kWritersLength = journal::kRecordLength;
static_assert(kWritersLength == 65);

// Per part of the record, the kind of its bytes in the layout above.
constexpr std::array<char, journal::kPartCount> kPartKinds = {'x', 'x', 'x', 'x', 'x', 'x', '#', '#',
                                                              '#', '?', '#', '#', '#', '?', 'y'};

// The bytes after a part end a field of the scan when they start with its
// terminator; the others (the date's '/', the time's ':', the speed's unit)
// lie inside a field and are of its kind.
constexpr bool ends_field(std::string_view after) {
  return std::string_view("\t\xB0'\"").find(after.front()) != std::string_view::npos;
}

struct WritersLayout {
  std::array<char, kWritersLength> bytes{};
  std::array<uint8_t, kFieldCount> ends{};
};
constexpr WritersLayout writers_layout() {
  WritersLayout layout;
  std::size_t at = 0, field = 0;
  for (std::size_t part = 0; part < journal::kPartCount; ++part) {
    const journal::PartLayout& p = journal::kRecordLayout[part];
    for (std::size_t i = 0; i < p.width; ++i) layout.bytes[at++] = kPartKinds[part];
    const bool ends = ends_field(p.after);
    if (ends) layout.ends[field++] = static_cast<uint8_t>(at);
    for (const char c : p.after) layout.bytes[at++] = ends ? c : kPartKinds[part];
  }
  layout.ends[field] = static_cast<uint8_t>(at);  // the CR
  for (const char c : journal::kLineEnd) layout.bytes[at++] = c;
  return layout;
}
constexpr WritersLayout kWritersLayout = writers_layout();

constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

// Per 8-byte word of the layout (the 65th byte, the LF, is checked on its
// own), little-endian: a mask of the bytes where the layout holds `kind`,
// or, for kind 0, of its literal bytes, and their values.
struct LayoutWords {
  std::array<uint64_t, 8> literal_mask{}, literal{}, digits{}, no_tab{}, no_cr{};
};
constexpr LayoutWords layout_words() {
  LayoutWords w;
  for (std::size_t i = 0; i < 64; ++i) {
    const uint64_t byte = uint64_t{0xFF} << (8 * (i % 8));
    const char c = kWritersLayout.bytes[i];
    uint64_t* mask = c == 'x' ? &w.no_tab[i / 8] : c == 'y' ? &w.no_cr[i / 8] : c == '#' ? &w.digits[i / 8] : nullptr;
    if (mask) {
      *mask |= byte;
    } else if (c != '?') {
      w.literal_mask[i / 8] |= byte;
      w.literal[i / 8] |= (uint64_t{static_cast<unsigned char>(c)} << (8 * (i % 8)));
    }
  }
  return w;
}
constexpr LayoutWords kWords = layout_words();

// The high bit of every zero byte of `v` is set (and maybe of bytes above a
// zero one, which does not matter: one is enough to refuse).
constexpr uint64_t zero_bytes(uint64_t v) { return (v - kOnes) & ~v & kHighBits; }

bool in_writers_layout(std::string_view read) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (read.size() != kWritersLength || read[64] != '\n') return false;
  uint64_t wrong = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    uint64_t w = 0;
    std::memcpy(&w, read.data() + 8 * i, 8);
    wrong |= (w & kWords.literal_mask[i]) ^ kWords.literal[i];
    // A digit less '0' is 0 to 9: adding 0x76 leaves its high bit clear.
    const uint64_t digit = (w ^ (0x30 * kOnes)) & kWords.digits[i];
    wrong |= (digit | (digit + (0x76 * kOnes & kWords.digits[i]))) & kHighBits & kWords.digits[i];
    wrong |= zero_bytes((w ^ ('\t' * kOnes)) | ~kWords.no_tab[i]);
    wrong |= zero_bytes((w ^ ('\r' * kOnes)) | ~kWords.no_cr[i]);
  }
  return wrong == 0;
}

// The fields of a line in the writer's layout, or false when a number is out
// of its range or a letter names no hemisphere (the scan then refuses it).
bool read_writers_layout(std::string_view read, JournalLine& line) {
  auto digits = [&read](std::size_t at, std::size_t count) {
    int32_t value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (read[i] - '0');
    return value;
  };
  line.ends = kWritersLayout.ends;
  auto part = [&digits](journal::RecordPart p) {
    return digits(journal::part_offset(p), journal::kRecordLayout[p].width);
  };
  line.lat_degres = part(journal::kLatDegres);
  line.lat_minutes = part(journal::kLatMinutes);
  line.lat_fraction = part(journal::kLatMiliemes);
  line.lon_degres = part(journal::kLonDegres);
  line.lon_minutes = part(journal::kLonMinutes);
  line.lon_fraction = part(journal::kLonMiliemes);
  const char lat_letter = read[journal::part_offset(journal::kLatNS)];
  const char lon_letter = read[journal::part_offset(journal::kLonEW)];
  line.south = lat_letter == 'S';
  line.west = lon_letter == 'W' || lon_letter == 'O';
  return line.lat_degres <= 90 && line.lat_minutes <= 59 && line.lon_degres <= 180 && line.lon_minutes <= 59 &&
         (line.south || lat_letter == 'N') && (line.west || lon_letter == 'E');
}

// Blanks and control characters, the bytes a trim removes at both ends.
bool trimmed_away(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Crosses one read field by field, noting where each ends. A field runs up to
// the first byte equal to its terminator; every field check below reads no
// further than that, so what it sees is exactly the field's text.
class FieldCursor {
 public:
  FieldCursor(std::string_view read, JournalLine& line)
      : begin_(read.data()), at_(begin_), end_(begin_ + read.size()), line_(line) {}

  bool text(char terminator) {
    while (at_ != end_ && *at_ != terminator) ++at_;
    return close(terminator);
  }

  // Digits never equal a terminator, so the number must be followed by it.
  bool number(char terminator, int32_t high, int32_t& out) {
    const common::DecimalPrefix number = common::decimal_prefix(at_, end_, 0, high);
    if (number.next == nullptr) return false;
    at_ = number.next;
    out = static_cast<int32_t>(number.value);
    return close(terminator);
  }

  // One of `letters` once trimmed, up to the TAB; any but the first counts
  // negative. The field is closed only once its letter is known good.
  bool hemisphere(std::string_view letters, bool& negative) {
    const char* start = at_;
    while (at_ != end_ && *at_ != '\t') ++at_;
    const std::string_view letter = journal_trim(std::string_view(start, at_ - start));
    const std::size_t found = letter.size() == 1 ? letters.find(letter.front()) : std::string_view::npos;
    negative = found != 0;
    return found != std::string_view::npos && close('\t');
  }

  // The fields closed so far: where a failed scan stopped.
  std::size_t fields_closed() const { return field_; }

 private:
  bool close(char terminator) {
    if (at_ == end_ || *at_ != terminator) return false;
    line_.ends[field_++] = static_cast<uint8_t>(at_ - begin_);
    ++at_;
    return true;
  }

  const char* const begin_;
  const char* at_;
  const char* const end_;
  JournalLine& line_;
  std::size_t field_ = 0;
};

bool scan_fields(FieldCursor& cursor, JournalLine& line) {
  return cursor.text('\t') && cursor.text('\t') &&  // date, time
         cursor.number('\xB0', 90, line.lat_degres) && cursor.number('\'', 59, line.lat_minutes) &&
         cursor.number('"', 9999, line.lat_fraction) && cursor.hemisphere("NS", line.south) &&
         cursor.number('\xB0', 180, line.lon_degres) && cursor.number('\'', 59, line.lon_minutes) &&
         cursor.number('"', 9999, line.lon_fraction) && cursor.hemisphere("EWO", line.west) &&
         cursor.text('\r');  // speed
}

}  // namespace

std::string_view journal_trim(std::string_view text) {
  while (!text.empty() && trimmed_away(text.front())) text.remove_prefix(1);
  while (!text.empty() && trimmed_away(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<JournalLine> scan_journal_line(std::string_view read) {
  // One object returned by every path, so it is built where the caller
  // wants it: a copy of it, read back at once, would wait on its own stores.
  std::optional<JournalLine> line(std::in_place);
  if (!in_writers_layout(read) || !read_writers_layout(read, *line)) line = scan_journal_fields(read);
  return line;
}

std::optional<JournalLine> scan_journal_fields(std::string_view read) {
  if (read.size() > kLongestRead) return std::nullopt;
  JournalLine line;
  FieldCursor cursor(read, line);
  if (!scan_fields(cursor, line)) return std::nullopt;
  return line;
}

JournalField faulty_field(std::string_view read) {
  JournalLine line;
  FieldCursor cursor(read.substr(0, kLongestRead), line);
  scan_fields(cursor, line);
  return static_cast<JournalField>(cursor.fields_closed());
}

}  // namespace track
