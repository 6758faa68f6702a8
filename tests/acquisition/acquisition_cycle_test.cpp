// The acquisition's cycle, run by the test, over a fake serial line and fake
// platform services.
#include "common/unique_fd.h"
#include "support/controller_fixture.h"
#include "support/wait_until.h"

#include <QFileInfo>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <utility>

namespace {

const std::string kComplete = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const std::string kShort = "$GPRMC,123520,A,4807.0380,N,01131.0000,E,,,230394,,*6A\r\n";
// Today's receivers: talker GN, decimal seconds, a navigational status field.
const std::string kGn = "$GNRMC,055234.000,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*13\r\n";
const std::string kNoRmc = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class CycleTest : public ControllerFixture {
 protected:
  void connect_port() {
    c.port().SetConnected(true);
    ASSERT_TRUE(c.port().Connected());
  }

  // One tick with `text` as what the port delivered since the last one.
  void tick(const std::string& text = {}) {
    c.receive_buffer() = text;
    c.run_cycle();
  }
};

TEST_F(CycleTest, LampsAndCounterFollowTheDecodeResult) {
  connect_port();
  tick(kComplete);
  EXPECT_TRUE(c.lamps().rmc);
  EXPECT_TRUE(c.lamps().fix);
  EXPECT_EQ(c.fix().Aff_heure, "12");
  EXPECT_EQ(c.fix().Aff_annee, "2094");
  EXPECT_TRUE(c.receive_buffer().empty());

  tick(kShort);
  tick(kShort);
  EXPECT_TRUE(c.lamps().rmc);
  EXPECT_FALSE(c.lamps().fix);
  EXPECT_EQ(c.cycles_without_fix(), 2u);

  tick(kNoRmc);
  EXPECT_FALSE(c.lamps().rmc);
  EXPECT_FALSE(c.lamps().fix);
  EXPECT_EQ(c.cycles_without_fix(), 0u);
  // No usable sentence while connected: red banner whatever the check boxes.
  for (bool shell::Settings::*alarm : {&shell::Settings::alarm_battery, &shell::Settings::alarm_gps_signal,
                                       &shell::Settings::alarm_file, &shell::Settings::alarm_serial}) {
    settings.*alarm = false;
  }
  tick(kNoRmc);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);
}

TEST_F(CycleTest, CountdownRunsInStepsOfThreeAndActsOnlyOnACompleteFix) {
  connect_port();
  set_interval(10);
  EXPECT_EQ(c.countdown(), 10);
  std::vector<int> acted;
  for (int cycle = 1; cycle <= 12; ++cycle) {
    const int before = lines();
    tick(kComplete);
    if (lines() != before) acted.push_back(cycle);
    EXPECT_GE(c.countdown(), 0);
  }
  // 10, 7, 4, 1, 0: acts at the fourth cycle, then every fourth (12 seconds).
  EXPECT_EQ(acted, (std::vector<int>{4, 8, 12}));

  // Run out while the fix is incomplete: stays at "0 sec" until a complete one.
  set_interval(3);
  tick(kShort);
  EXPECT_EQ(c.countdown(), 0);
  EXPECT_EQ(c.shown_countdown(), 0);
  const int before = lines();
  tick(kShort);
  tick(kNoRmc);
  EXPECT_EQ(lines(), before);
  tick(kComplete);
  EXPECT_EQ(lines(), before + 1);
  EXPECT_EQ(c.countdown(), 3);
}

TEST_F(CycleTest, RecordsTheFixAndLightsTheFileLampOnFailure) {
  connect_port();
  tick(kComplete);
  EXPECT_EQ(file_bytes(path("journal.txt")).size(), 65u);
  EXPECT_EQ(file_bytes(path("last.txt")), "48.07\t011.31\n");
  EXPECT_FALSE(c.lamps().file_error);

  settings.log_path_1 = path("missing/journal.txt");
  c.set_countdown(0);
  tick(kComplete);
  EXPECT_TRUE(c.lamps().file_error);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);

  // With recording off the line still reaches the view, the lamp keeps its state.
  settings.record = false;
  c.set_countdown(0);
  tick(kComplete);
  EXPECT_EQ(lines(), 3);
  EXPECT_TRUE(c.lamps().file_error);

  settings.record = true;
  settings.log_path_1 = path("journal.txt");
  c.set_countdown(0);
  tick(kComplete);
  EXPECT_FALSE(c.lamps().file_error);
  EXPECT_EQ(file_bytes(path("journal.txt")).size(), 130u);
}

// Named once per run of failures; /dev/null, chosen to keep no record, never.
TEST_F(CycleTest, ALogFileThatIsNoRegularFileIsToldOncePerRunOfFailures) {
  const std::string fifo = path("fifo.txt"), unix_socket = path("socket.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const common::UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM, 0));
  sockaddr_un address{AF_UNIX, {}};
  unix_socket.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  connect_port();
  const auto record_into = [this](std::string shell::Settings::*log, const std::string& file) {
    const std::string regular = settings.*log;
    settings.*log = file;
    c.set_countdown(0);
    tick(kComplete);
    settings.*log = regular;
  };
  for (const auto& [log, file] : {std::pair{&shell::Settings::log_path_1, fifo},
                                  {&shell::Settings::log_path_2, unix_socket},
                                  {&shell::Settings::log_path_1, "/tmp"},
                                  {&shell::Settings::log_path_2, "/dev/null"}}) {
    SCOPED_TRACE(file);
    record_into(log, settings.*log);  // a record that succeeds starts a new run
    record_into(log, file);
    const QString told = "« " + QFileInfo(QString::fromStdString(file)).fileName() + " »\nn'est pas un fichier";
    EXPECT_EQ(c.lamps().file_error, file != "/dev/null");
    EXPECT_EQ(c.notice().startsWith(told), file != "/dev/null");
    for (int i = 0; i < 4; ++i) tick();
    record_into(log, file);
    EXPECT_EQ(c.notice(), "") << "told once";
  }
}

TEST_F(CycleTest, SetsTheClockOnlyWhenAskedAndOnlyWhenActing) {
  connect_port();
  clock.now = {2026, 12, 1, 7, 23, 59, 58, 640};
  tick(kComplete);
  EXPECT_TRUE(clock.settings.empty());

  settings.set_clock = true;
  tick(kComplete);  // countdown running: no action
  EXPECT_TRUE(clock.settings.empty());
  c.set_countdown(0);
  tick(kComplete);
  ASSERT_EQ(clock.settings.size(), 1u);
  const platform::SystemTime& set = clock.settings[0];
  EXPECT_EQ(set.Day, 7);
  EXPECT_EQ(set.Hour, 12);
  EXPECT_EQ(set.Minute, 35);
  EXPECT_EQ(set.Second, 19);
  EXPECT_EQ(set.Milliseconds, 640);
}

TEST_F(CycleTest, ExtendedRmcRecordsTodaysReceiversOnlyWhenAskedFor) {
  connect_port();
  tick(kGn);
  EXPECT_FALSE(c.lamps().rmc);
  EXPECT_EQ(c.fix().Aff_heure, "??");

  settings.extended_rmc = true;
  tick(kGn);
  EXPECT_TRUE(c.lamps().fix);
  EXPECT_EQ(text_view(), QString::fromUtf8("05/08/2026\t05:52:34\t47° 39' 7189\" N\t122° 19' 5836\" W\t0.0 noeuds"));
  EXPECT_EQ(file_bytes(path("journal.txt")),
            "05/08/2026\t05:52:34\t47\xB0 39' 7189\" N\t122\xB0 19' 5836\" W\t0.0 noeuds\r\n");
  EXPECT_EQ(file_bytes(path("last.txt")), "47.39\t122.19\n");

  // Lost fix: counted as a signal loss, the last position stays shown.
  tick("$GNRMC,055237.000,V,,,,,,,050826,,,N,V\r\n");
  EXPECT_TRUE(c.lamps().rmc);
  EXPECT_FALSE(c.lamps().fix);
  EXPECT_EQ(c.cycles_without_fix(), 1u);
  EXPECT_EQ(c.fix().Aff_lat_miliemes, "7189");
}

TEST_F(CycleTest, DisconnectedCycleLeavesTheBufferAndShowsStandby) {
  settings.log_path_1 = path("missing/journal.txt");
  connect_port();
  tick(kComplete);
  ASSERT_TRUE(c.lamps().file_error);
  c.port().SetConnected(false);
  settings.log_path_1 = path("journal.txt");
  c.receive_buffer() = kComplete;
  c.set_countdown(42);
  c.run_cycle();
  EXPECT_EQ(c.receive_buffer(), kComplete);
  EXPECT_EQ(c.countdown(), 42);
  EXPECT_FALSE(c.lamps().file_error);
  EXPECT_EQ(c.banner(), " VEILLE");
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kStandby);

  // The first connected cycle decodes what was left together with the new text.
  connect_port();
  c.run_cycle();
  EXPECT_TRUE(c.lamps().fix);
}

TEST_F(CycleTest, BannerBlinksBetweenItsTwoTexts) {
  connect_port();
  std::vector<QString> seen;
  for (int i = 0; i < 4; ++i) {
    tick(kComplete);
    seen.push_back(c.banner());
  }
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kOk);
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_EQ(seen[0], seen[2]);
  EXPECT_TRUE((seen[0] == "   OK" && seen[1] == "   OK.") || (seen[0] == "   OK." && seen[1] == "   OK"));

  tick(kNoRmc);
  const QString a = c.banner();
  tick(kNoRmc);
  EXPECT_TRUE((a == "ALARME" && c.banner() == " alarme") || (a == " alarme" && c.banner() == "ALARME"));
}

TEST_F(CycleTest, BatteryLampAndAlarm) {
  for (int percent : {1, 29}) {
    power.percent = static_cast<uint8_t>(percent);
    tick();
    EXPECT_TRUE(c.lamps().battery) << percent;
    EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);  // alarm while disconnected
  }
  // An unreadable status keeps the previous reading.
  power.percent.reset();
  tick();
  EXPECT_TRUE(c.lamps().battery);

  settings.alarm_battery = false;
  tick();
  EXPECT_EQ(c.banner(), " VEILLE");
  EXPECT_TRUE(c.lamps().battery);

  for (int percent : {0, 30, 255}) {
    power.percent = static_cast<uint8_t>(percent);
    tick();
    EXPECT_FALSE(c.lamps().battery) << percent;
  }
}

TEST_F(CycleTest, SoundFollowsTheAlarmButton) {
  connect_port();
  tick(kNoRmc);
  ASSERT_EQ(sound.calls.size(), 3u);  // two alerts and the tone
  EXPECT_EQ(sound.calls[2], (testing_support::SoundCall{testing_support::SoundCall::Tone, 500, 50}));

  c.toggle_alarm_mute();
  EXPECT_TRUE(c.alarm_muted());
  tick(kNoRmc);
  EXPECT_EQ(sound.calls.size(), 3u);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);

  c.toggle_alarm_mute();
  EXPECT_FALSE(c.alarm_muted());
  tick(kNoRmc);
  EXPECT_EQ(sound.calls.size(), 6u);

  // No alarm, no sound.
  tick(kComplete);
  EXPECT_EQ(sound.calls.size(), 6u);
}

TEST_F(CycleTest, SignalLossAlarmAfterElevenShortCycles) {
  connect_port();
  for (int i = 0; i < 10; ++i) tick(kShort);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kOk);
  tick(kShort);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);
  tick(kComplete);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kOk);
}

TEST_F(CycleTest, LineErrorLightsTheFrameLampUntilTheEndOfTheNextCycle) {
  connect_port();
  c.line_errors({serial::ceRxParity, serial::ceBreak});
  EXPECT_FALSE(c.lamps().line_error);
  c.line_errors({serial::ceOverrun});
  EXPECT_TRUE(c.lamps().line_error);
  tick(kComplete);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kAlarm);  // seen by that cycle's alarm
  EXPECT_FALSE(c.lamps().line_error);
  tick(kComplete);
  EXPECT_EQ(c.banner_colour(), acquisition::BannerColour::kOk);
}

TEST_F(CycleTest, ReceiveBufferStopsTakingAtAThousandCharacters) {
  c.port().SetEvents({});  // the test calls the handler itself
  connect_port();
  line.Feed(std::string(1200, 'x'));
  c.receive_buffer().assign(999, 'a');
  c.receive(600);
  EXPECT_EQ(c.receive_buffer().size(), 1599u);
  c.receive(600);
  EXPECT_EQ(c.receive_buffer().size(), 1599u);  // stays queued in the port
  EXPECT_EQ(c.port().QueuedInput(), 600);
}

TEST_F(CycleTest, ReceivedTextReachesTheBufferThroughThePortEvents) {
  connect_port();
  line.Feed(kComplete);
  ASSERT_TRUE(testing_support::PumpUntil([this] { return c.receive_buffer().size() == kComplete.size(); }));
  EXPECT_EQ(c.receive_buffer(), kComplete);
  c.run_cycle();
  EXPECT_TRUE(c.lamps().fix);
}

TEST_F(CycleTest, AutomaticConnectionHappensOnceAndRetriesWhileFailing) {
  c.run_cycle();  // box unchecked: waits for it
  EXPECT_EQ(line.OpenCount(), 0);
  settings.auto_connect = true;
  line.SetOpenError(ENOENT);
  EXPECT_THROW(c.run_cycle(), std::exception);
  EXPECT_TRUE(c.awaiting_auto_connection());
  c.run_cycle();  // tried again, told once only

  line.SetOpenError(0);
  c.run_cycle();
  EXPECT_TRUE(c.port().Connected());
  EXPECT_FALSE(c.awaiting_auto_connection());

  // A port closed by hand after that stays closed.
  c.port().SetConnected(false);
  c.run_cycle();
  EXPECT_FALSE(c.port().Connected());
}

// Told once per run of failures: a new reason, the box ticked again, another
// port or a connection start a new run.
TEST_F(CycleTest, AFailingAutomaticConnectionIsToldOncePerRunOfFailures) {
  const auto told = [this](int error) {
    line.SetOpenError(error);
    try {
      c.run_cycle();
    } catch (const std::exception&) {
      return true;
    }
    return false;
  };
  settings.auto_connect = true;
  EXPECT_TRUE(told(ENOENT));
  EXPECT_FALSE(told(ENOENT));
  EXPECT_TRUE(told(EACCES));
  settings.auto_connect = true;  // ticked again, as the dialog tells it
  c.start_new_failure_run();
  EXPECT_TRUE(told(EACCES));
  c.start_new_failure_run();
  EXPECT_TRUE(told(EACCES));
  EXPECT_FALSE(told(0));
  line.Vanish();  // unplugged: the port closes itself, the automatic connection waits again
  ASSERT_TRUE(testing_support::PumpUntil([this] { return !c.port().Connected(); }));
  EXPECT_TRUE(told(EACCES));
  EXPECT_FALSE(told(EACCES));
}

TEST_F(CycleTest, AReceiverOnlyTheExtendedReadingUnderstandsGetsOneHintPerConnection) {
  const auto hinted_after = [&](int cycles) {
    for (int i = 0; i < cycles; ++i) tick(kGn);
    return c.extended_rmc_hint().contains("« Récepteurs récents ($GNRMC, secondes décimales) »");
  };
  settings.extended_rmc_chosen = true;  // "RMC etendu=0": the hint, never the switch
  connect_port();
  EXPECT_FALSE(hinted_after(9));
  tick(kNoRmc);  // counts again from 0
  EXPECT_FALSE(hinted_after(9));
  EXPECT_TRUE(hinted_after(1));
  settings.extended_rmc = true;  // read at the next cycle
  EXPECT_FALSE(hinted_after(1));
  settings.extended_rmc = false;
  EXPECT_FALSE(hinted_after(10)) << "once per connection";
  c.connect_by_hand();
  EXPECT_TRUE(hinted_after(10));
}

// Without a choice of the user's, a receiver that only the extended reading
// understands turns it on by itself, and says so for a few cycles; one that
// the usual reading decodes never does.
TEST_F(CycleTest, AReceiverOnlyTheExtendedReadingUnderstandsTurnsItOnWhenTheUserHasNotChosen) {
  int switches = 0;
  QObject::connect(&c, &acquisition::AcquisitionController::extended_rmc_switched_on, [&] { ++switches; });
  connect_port();
  for (int i = 0; i < 30; ++i) tick(kComplete);
  for (int i = 0; i < 9; ++i) tick(kGn);
  EXPECT_FALSE(settings.extended_rmc);
  EXPECT_FALSE(c.lamps().fix);
  tick(kGn);
  EXPECT_TRUE(settings.extended_rmc);
  EXPECT_EQ(switches, 1);
  EXPECT_TRUE(c.extended_rmc_hint().isEmpty());
  EXPECT_TRUE(c.notice().startsWith(QString::fromUtf8("Récepteurs récents")));
  for (int i = 0; i < 3; ++i) tick(kGn);
  EXPECT_TRUE(c.lamps().fix);
  EXPECT_EQ(c.fix().Aff_lat_miliemes, "7189");
  EXPECT_FALSE(c.notice().isEmpty());
  tick(kGn);
  EXPECT_TRUE(c.notice().isEmpty()) << "said for four cycles, then the banner again";
  EXPECT_EQ(switches, 1);
}

}  // namespace
