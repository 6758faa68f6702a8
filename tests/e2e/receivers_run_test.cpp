// The real program fed what a multi-constellation receiver sends ($GNRMC,
// decimals of seconds, five decimals of minutes): nothing is recorded while
// the settings file says "RMC etendu=0"; without the line, the program turns
// the extended reading on by itself after ten cycles and keeps it in the
// file; every record has the journal's usual form.
#include "program_run.h"

#include <cstdio>
#include <thread>

using testing_support::read_file;
using namespace std::chrono_literals;

namespace {

using testing_support::with_checksum;

// A drive east, one fix a second; the fifth decimal of every minute is a 7
// that the journal must not show.
std::string sentences(int i) {
  char time[16], lon[32];
  std::snprintf(time, sizeof time, "1200%02d.000", i % 60);
  std::snprintf(lon, sizeof lon, "00600.%04d7", i * 100);
  return with_checksum(std::string("GNRMC,") + time + ",A,4500.00007,N," + lon + ",E,0.52,90.0,070126,,,A,V") +
         with_checksum(std::string("GNGGA,") + time + ",4500.00007,N," + lon + ",E,1,12,0.8,100.0,M,47.0,M,,");
}

std::string journal_line(int i) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "07/01/2026\t12:00:%02d\t45\xB0 00' 0000\" N\t006\xB0 00' %04d\" E\t0.5 noeuds\r\n",
                i % 60, i * 100);
  return buf;
}

std::string drive() {
  std::string nmea;
  for (int i = 0; i < 40; ++i) nmea += sentences(i);
  return nmea;
}

class ReceiversRun : public testing_support::ProgramRun {
 protected:
  std::string journal() const { return read_file(root / "journal.txt"); }
};

}  // namespace

TEST_F(ReceiversRun, TodaysReceiverIsRecordedOnlyWithTheExtendedReading) {
  plug_in(drive());
  start_program(3, "RMC etendu=0\r\n");
  // Four cycles: each would have recorded with a sentence it could read.
  std::this_thread::sleep_for(13s);
  stop_program();
  EXPECT_FALSE(std::filesystem::exists(root / "journal.txt")) << journal();
  EXPECT_NE(read_file(root / "orvanta.INI").find("[RS232]\r\nRMC etendu=0\r\n"), std::string::npos);

  start_program();
  const bool recorded = wait_until([&] { return journal().size() >= 3 * size_t{65}; }, 90s);
  stop_program();
  ASSERT_TRUE(recorded) << read_file(root / "orvanta.out");

  EXPECT_TRUE(testing_support::only_records_among(journal(), journal_line, 40));
  EXPECT_EQ(read_file(root / "last.txt"), "45.00\t006.00\n");
  EXPECT_NE(read_file(root / "orvanta.INI").find("\r\nRMC etendu=1\r\n"), std::string::npos)
      << read_file(root / "orvanta.INI");
}
