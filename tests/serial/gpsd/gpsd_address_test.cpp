#include "serial/gpsd/gpsd_address.h"

#include "serial/gpsd/nmea_stream_filter.h"

#include <gtest/gtest.h>

namespace serial {
namespace {

TEST(GpsdAddress, ReadsTheNamesThatSelectGpsd) {
  const std::pair<const char*, std::optional<GpsdAddress>> cases[] = {
      {"gpsd://", GpsdAddress{"localhost", "2947"}},
      {"GPSD://gpsbox", GpsdAddress{"gpsbox", "2947"}},
      {"gpsd://127.0.0.1:29470", GpsdAddress{"127.0.0.1", "29470"}},
      {"gpsd://[::1]:2948", GpsdAddress{"::1", "2948"}},
      {"gpsd://::1", GpsdAddress{"::1", "2947"}},
      {"gpsd://fe80::1:2948", GpsdAddress{"fe80::1:2948", "2947"}},
      {"gpsd://host:", std::nullopt},
      {"gpsd://host:65536", std::nullopt},
      {"gpsd://[::1", std::nullopt},
      {"ttyUSB0", std::nullopt}};
  for (const auto& [name, address] : cases) {
    EXPECT_EQ(parse_gpsd_port(name), address) << name;
    // Every name the program prints reads back as the same address.
    EXPECT_TRUE(!address || parse_gpsd_port(gpsd_port_name(*address)) == address) << name;
  }
  EXPECT_EQ(gpsd_port_name(GpsdAddress{"::1", "2948"}), "gpsd://[::1]:2948");
}

// gpsd puts its own reports between the sentences; however the stream is cut
// into reads, the sentences come out whole and nothing of the reports.
TEST(NmeaStreamFilter, KeepsTheSentencesAndDropsGpsdsReportsAcrossReads) {
  const std::string rmc = "$GPRMC,120000,A,4500.0000,N,00600.0000,E,012.5,045.0,070126,,*1C\r\n";
  const std::string gga = "$GPGGA,120000,4500.0000,N,00600.0000,E,1,08,0.9,100.0,M,47.0,M,,*45\n";
  const std::string stream = "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n{\"class\":\"WATCH\"}\r\n" + rmc +
                             "{\"class\":\"DEVICE\",\"activated\":0}\r\n" + gga;
  for (size_t cut = 0; cut <= stream.size(); ++cut) {
    NmeaStreamFilter filter;
    std::string first = stream.substr(0, cut), second = stream.substr(cut);
    first.resize(filter.filter(first.data(), first.size()));
    second.resize(filter.filter(second.data(), second.size()));
    ASSERT_EQ(first + second, rmc + gga) << "cut at " << cut;
  }
}

}  // namespace
}  // namespace serial
