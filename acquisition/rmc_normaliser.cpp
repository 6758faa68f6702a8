#include "acquisition/rmc_normaliser.h"

#include "acquisition/rmc_decoder.h"
#include "common/nmea_sentence.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace acquisition {

namespace {

constexpr std::array<std::string_view, 8> kTalkers = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"};

// Field positions after "$xxRMC,".
constexpr size_t kTime = 0;
constexpr size_t kStatus = 1;
constexpr size_t kLatitude = 2;
constexpr size_t kLongitude = 4;

constexpr size_t kDecimalsRead = 4;

bool is_rmc(std::string_view sentence) {
  return sentence.size() >= 7 && sentence.substr(3, 4) == "RMC," &&
         std::find(kTalkers.begin(), kTalkers.end(), sentence.substr(1, 2)) != kTalkers.end();
}

// "4739.71890" -> "4739.7189", "3348.452" -> "3348.4520": the decoder reads
// exactly four decimals and the journal keeps ten-thousandths of a minute.
void four_decimals(std::string& minutes) {
  if (minutes.empty()) return;
  size_t point = minutes.find('.');
  if (point == std::string::npos) {
    point = minutes.size();
    minutes += '.';
  }
  minutes.resize(point + 1 + kDecimalsRead, '0');
}

std::vector<std::string> split_fields(std::string_view text) {
  std::vector<std::string> fields;
  for (size_t begin = 0;;) {
    const size_t comma = text.find(',', begin);
    fields.emplace_back(text.substr(begin, comma - begin));
    if (comma == std::string_view::npos) return fields;
    begin = comma + 1;
  }
}

std::string rewritten(std::vector<std::string> fields) {
  if (kTime < fields.size()) fields[kTime] = fields[kTime].substr(0, fields[kTime].find('.'));
  if (kLatitude < fields.size()) four_decimals(fields[kLatitude]);
  if (kLongitude < fields.size()) four_decimals(fields[kLongitude]);

  std::string sentence = "$GPRMC";
  for (const std::string& f : fields) sentence += ',' + f;
  static constexpr char kHex[] = "0123456789ABCDEF";
  const uint8_t sum = common::checksum_of(std::string_view(sentence).substr(1));
  sentence += '*';
  sentence += kHex[sum >> 4];
  sentence += kHex[sum & 15];
  return sentence;
}

}  // namespace

NormalisedRmc Normaliser_RMC(std::string_view text) {
  for (size_t start = text.find('$'); start != std::string_view::npos; start = text.find('$', start + 1)) {
    const size_t end = common::sentence_end(text, start);
    const std::string_view sentence = text.substr(start, end - start);
    if (!is_rmc(sentence) || !common::checksum_holds(text, start)) continue;

    const size_t star = sentence.find('*');
    std::vector<std::string> fields =
        split_fields(sentence.substr(7, star == std::string_view::npos ? star : star - 7));
    if (kStatus < fields.size() && fields[kStatus] == "V") return {NormalisedRmc::Kind::Void, {}, start};
    return {NormalisedRmc::Kind::Sentence, rewritten(std::move(fields)), start};
  }
  return {};
}

int Decodage_RMC_etendu(std::string_view text, FixFields& fields) {
  const NormalisedRmc rmc = Normaliser_RMC(text);
  switch (rmc.kind) {
    case NormalisedRmc::Kind::Sentence:
      return Decodage_GPRMC(rmc.sentence, fields);
    case NormalisedRmc::Kind::Void:
      return Trame_courte;
    case NormalisedRmc::Kind::None:
      break;
  }
  return Trame_invalide;
}

}  // namespace acquisition
