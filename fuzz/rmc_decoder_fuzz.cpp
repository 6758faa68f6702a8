// libFuzzer target: any bytes through the RMC decoder, alone and behind the
// normaliser of today's receivers, with an RMC start planted at the front
// half of the time so the deep fields get exercised too.
#include "acquisition/rmc_decoder.h"
#include "acquisition/rmc_normaliser.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  acquisition::FixFields fields;
  std::string raw(reinterpret_cast<const char*>(data), size);
  acquisition::Decodage_GPRMC(raw, fields);
  acquisition::Decodage_RMC_etendu(raw, fields);
  if (size > 0 && data[0] & 1) {
    std::string planted = (data[0] & 2 ? "$GNRMC," : "$GPRMC,") + raw.substr(1);
    acquisition::Decodage_GPRMC(planted, fields);
    acquisition::Decodage_RMC_etendu(planted, fields);
  }
  return 0;
}
