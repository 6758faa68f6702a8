// libFuzzer target: any bytes through the RMC decoder, alone and behind the
// normaliser of today's receivers, with an RMC start planted at the front
// half of the time so the deep fields get exercised too. Stops on a broken
// promise:
// - a fix the decoder takes becomes a journal record of one line that the
//   viewer reads back as the same position;
// - a sentence the normaliser writes is one it would take again unchanged,
//   and the extended reading is exactly the decoder's verdict on it.
#include "acquisition/log_line.h"
#include "acquisition/rmc_decoder.h"
#include "acquisition/rmc_normaliser.h"
#include "common/decimal_integer.h"
#include "track/journal_line.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool same_number(const std::string& text, int32_t read) {
  return common::decimal_integer(text, -1'000'000'000, 1'000'000'000) == read;
}

void check_record(const acquisition::FixFields& f) {
  const std::string record = acquisition::Ligne_log(f) + "\r\n";
  // The viewer reads up to the first LF: the record must be one read.
  if (record.find('\n') + 1 != record.size() || record.size() > track::kLongestRead) std::abort();
  const std::optional<track::JournalLine> line = track::scan_journal_line(record);
  if (!line) std::abort();
  if (!same_number(f.Aff_lat_degres, line->lat_degres) || !same_number(f.Aff_lat_minutes, line->lat_minutes) ||
      !same_number(f.Aff_lat_miliemes, line->lat_fraction) || !same_number(f.Aff_lon_degres, line->lon_degres) ||
      !same_number(f.Aff_lon_minutes, line->lon_minutes) || !same_number(f.Aff_lon_miliemes, line->lon_fraction))
    std::abort();
  if (track::journal_trim(line->field(record, track::kLatHemisphere)) != f.Aff_lat_NS ||
      track::journal_trim(line->field(record, track::kLonHemisphere)) != f.Aff_lon_EW)
    std::abort();
}

void check(const std::string& text) {
  acquisition::FixFields seed;
  if (acquisition::Decodage_GPRMC(text, seed) == acquisition::Trame_complete) check_record(seed);

  acquisition::FixFields extended;
  const int verdict = acquisition::Decodage_RMC_etendu(text, extended);
  const acquisition::NormalisedRmc rmc = acquisition::Normaliser_RMC(text);
  if (rmc.kind != acquisition::NormalisedRmc::Kind::Sentence) return;
  const acquisition::NormalisedRmc again = acquisition::Normaliser_RMC(rmc.sentence);
  if (again.kind != rmc.kind || again.sentence != rmc.sentence) std::abort();
  acquisition::FixFields direct;
  if (acquisition::Decodage_GPRMC(rmc.sentence, direct) != verdict) std::abort();
  if (verdict == acquisition::Trame_complete) check_record(extended);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string raw(reinterpret_cast<const char*>(data), size);
  check(raw);
  if (size > 0 && data[0] & 1) check((data[0] & 2 ? "$GNRMC," : "$GPRMC,") + raw.substr(1));
  return 0;
}
