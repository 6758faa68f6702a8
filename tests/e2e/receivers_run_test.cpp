// The real program fed what a multi-constellation receiver sends ($GNRMC,
// decimals of seconds, five decimals of minutes): nothing is recorded unless
// the settings file asks for the extended reading, and then every record has
// the journal's usual form.
#include "program_run.h"

#include <cstdio>

using e2e::ProgramRun;
using e2e::read_file;

namespace {

std::string with_checksum(const std::string& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

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

}  // namespace

TEST(ReceiversRun, TodaysReceiverIsRecordedOnlyWithTheExtendedReading) {
  if (!ProgramRun::possible()) GTEST_SKIP() << "needs to add a port link in /dev";
  {
    ProgramRun as_ever;
    as_ever.start(drive());
    ASSERT_FALSE(HasFatalFailure());
    // Four cycles: each would have recorded with a sentence it could read.
    std::this_thread::sleep_for(std::chrono::seconds(13));
    as_ever.finish();
    EXPECT_FALSE(std::filesystem::exists(as_ever.root() / "journal.txt")) << as_ever.journal();
    EXPECT_EQ(read_file(as_ever.root() / "orvanta.INI").find("etendu"), std::string::npos);
  }

  ProgramRun run;
  run.start(drive(), "RMC etendu=1\r\n");
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_TRUE(run.finish_after_records(3, 40)) << run.output();

  e2e::expect_records_among(run.journal(), journal_line, 40);
  EXPECT_EQ(read_file(run.root() / "last.txt"), "45.00\t006.00\n");
  EXPECT_NE(read_file(run.root() / "orvanta.INI").find("[RS232]\r\nRMC etendu=1\r\n"), std::string::npos);
}
