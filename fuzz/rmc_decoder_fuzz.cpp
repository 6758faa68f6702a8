// libFuzzer target: any bytes through the RMC decoder, with a "$GPRMC," planted
// at the front half of the time so the deep fields get exercised too.
#include "acquisition/rmc_decoder.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  acquisition::FixFields fields;
  std::string raw(reinterpret_cast<const char*>(data), size);
  acquisition::Decodage_GPRMC(raw, fields);
  if (size > 0 && data[0] & 1) {
    std::string planted = "$GPRMC," + raw.substr(1);
    acquisition::Decodage_GPRMC(planted, fields);
  }
  return 0;
}
