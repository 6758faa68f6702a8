// The main window's cycle driven by calling its timer handler, over a fake
// serial line and fake platform services.
#include "acquisition/ui/affichage.h"
#include "shell/ui/config_dialog.h"
#include "support/wait_until.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTextDocument>
#include <QTextEdit>
#include <fstream>
#include <sstream>

using serial::lsOff;
using serial::lsOn;

namespace {

const std::string kComplete = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\r\n";
const std::string kShort = "$GPRMC,123520,A,4807.0380,N,01131.0000,E,,,230394,,*6A\r\n";
const std::string kNoRmc = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class CycleTest : public testing_support::WindowFixture {
 protected:
  void SetUp() override {
    create_windows();
    Config->Bt_connection_auto->setChecked(false);
    Config->Bt_mise_a_l_heure->setChecked(false);
  }

  void connect_port() {
    Affichage->ComPort1.SetConnected(true);
    ASSERT_TRUE(Affichage->ComPort1.Connected());
  }

  // One tick with `text` as what the port delivered since the last one.
  void tick(const std::string& text = {}) {
    Affichage->Tampon_reception = text;
    Affichage->Timer_rafraichTimer();
  }

  static int lines() {
    QTextDocument* doc = Affichage->texte->document();
    return doc->isEmpty() ? 0 : doc->blockCount();
  }

  QString banner() const { return Affichage->Alarme->text(); }
  QColor banner_colour() const { return Affichage->Alarme->palette().color(QPalette::WindowText); }
};

TEST_F(CycleTest, LampsAndCounterFollowTheDecodeResult) {
  connect_port();
  tick(kComplete);
  EXPECT_EQ(Affichage->Led_GPRMC->State(), lsOn);
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOn);
  EXPECT_EQ(Affichage->Aff_heure->text(), "12");
  EXPECT_EQ(Affichage->Aff_annee->text(), "2094");
  EXPECT_TRUE(Affichage->Tampon_reception.empty());

  tick(kShort);
  tick(kShort);
  EXPECT_EQ(Affichage->Led_GPRMC->State(), lsOn);
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOff);
  EXPECT_EQ(Cycles_sans_position, 2u);

  tick(kNoRmc);
  EXPECT_EQ(Affichage->Led_GPRMC->State(), lsOff);
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOff);
  EXPECT_EQ(Cycles_sans_position, 0u);
  // No usable sentence while connected: red banner whatever the check boxes.
  for (QCheckBox* b :
       {Config->Bt_err_batterie, Config->Bt_err_signal_gps, Config->Bt_err_fichier, Config->Bt_err_rs232}) {
    b->setChecked(false);
  }
  tick(kNoRmc);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));
}

TEST_F(CycleTest, CountdownRunsInStepsOfThreeAndActsOnlyOnACompleteFix) {
  connect_port();
  Config->Cmd_delais->setValue(10);
  EXPECT_EQ(Affichage->Decompte_actions, 10);
  std::vector<int> acted;
  for (int cycle = 1; cycle <= 12; ++cycle) {
    const int before = lines();
    tick(kComplete);
    if (lines() != before) acted.push_back(cycle);
    EXPECT_GE(Affichage->Decompte_actions, 0);
  }
  // 10, 7, 4, 1, 0: acts at the fourth cycle, then every fourth (12 seconds).
  EXPECT_EQ(acted, (std::vector<int>{4, 8, 12}));

  // Run out while the fix is incomplete: stays at "0 sec" until a complete one.
  Config->Cmd_delais->setValue(3);
  tick(kShort);
  EXPECT_EQ(Affichage->Decompte_actions, 0);
  EXPECT_EQ(Affichage->Aff_delais_ecri->text(), "0 sec");
  const int before = lines();
  tick(kShort);
  tick(kNoRmc);
  EXPECT_EQ(lines(), before);
  tick(kComplete);
  EXPECT_EQ(lines(), before + 1);
  EXPECT_EQ(Affichage->Decompte_actions, 3);
}

TEST_F(CycleTest, FirstShowActsOnTheFirstCompleteFix) {
  connect_port();
  EXPECT_EQ(Affichage->Decompte_actions, 0);
  EXPECT_EQ(Affichage->Intervalle_actions, 300);
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme active");
  tick(kComplete);
  EXPECT_EQ(Affichage->texte->toPlainText(),
            QString::fromUtf8("23/03/2094\t12:35:19\t48° 07' 0380\" N\t011° 31' 0000\" E\t022 noeuds"));
  EXPECT_EQ(Affichage->Decompte_actions, 300);
  EXPECT_EQ(Affichage->Aff_delais_ecri->text(), "0 sec");
}

TEST_F(CycleTest, RecordsTheFixAndLightsTheFileLampOnFailure) {
  connect_port();
  tick(kComplete);
  EXPECT_EQ(file_bytes(path("journal.txt")).size(), 65u);
  EXPECT_EQ(file_bytes(path("last.txt")), "48.07\t011.31\n");
  EXPECT_EQ(Affichage->Led_fichier->State(), lsOff);

  Affichage->Chemin_fichier_log_1 = QString::fromStdString(path("missing/journal.txt"));
  Affichage->Decompte_actions = 0;
  tick(kComplete);
  EXPECT_EQ(Affichage->Led_fichier->State(), lsOn);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));

  // With recording off the line still reaches the view, the lamp keeps its state.
  Config->Bt_enregistrer->setChecked(false);
  Affichage->Decompte_actions = 0;
  tick(kComplete);
  EXPECT_EQ(lines(), 3);
  EXPECT_EQ(Affichage->Led_fichier->State(), lsOn);

  Config->Bt_enregistrer->setChecked(true);
  Affichage->Chemin_fichier_log_1 = QString::fromStdString(path("journal.txt"));
  Affichage->Decompte_actions = 0;
  tick(kComplete);
  EXPECT_EQ(Affichage->Led_fichier->State(), lsOff);
  EXPECT_EQ(file_bytes(path("journal.txt")).size(), 130u);
}

TEST_F(CycleTest, SetsTheClockOnlyWhenAskedAndOnlyWhenActing) {
  connect_port();
  clock.now = {2026, 12, 1, 7, 23, 59, 58, 640};
  tick(kComplete);
  EXPECT_TRUE(clock.settings.empty());

  Config->Bt_mise_a_l_heure->setChecked(true);
  tick(kComplete);  // countdown running: no action
  EXPECT_TRUE(clock.settings.empty());
  Affichage->Decompte_actions = 0;
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
  const std::string gn = "$GNRMC,055234.000,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*13\r\n";
  tick(gn);
  EXPECT_EQ(Affichage->Led_GPRMC->State(), lsOff);
  EXPECT_EQ(Affichage->Aff_heure->text(), "??");

  Config->Bt_rmc_etendu->setChecked(true);
  tick(gn);
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOn);
  EXPECT_EQ(Affichage->texte->toPlainText(),
            QString::fromUtf8("05/08/2026\t05:52:34\t47° 39' 7189\" N\t122° 19' 5836\" W\t0.0 noeuds"));
  EXPECT_EQ(file_bytes(path("journal.txt")),
            "05/08/2026\t05:52:34\t47\xB0 39' 7189\" N\t122\xB0 19' 5836\" W\t0.0 noeuds\r\n");
  EXPECT_EQ(file_bytes(path("last.txt")), "47.39\t122.19\n");

  // Lost fix: counted as a signal loss, the last position stays shown.
  tick("$GNRMC,055237.000,V,,,,,,,050826,,,N,V\r\n");
  EXPECT_EQ(Affichage->Led_GPRMC->State(), lsOn);
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOff);
  EXPECT_EQ(Cycles_sans_position, 1u);
  EXPECT_EQ(Affichage->Aff_lat_miliemes->text(), "7189");
}

TEST_F(CycleTest, DisconnectedCycleLeavesTheBufferAndShowsStandby) {
  Affichage->Led_fichier->SetState(lsOn);
  Affichage->Tampon_reception = kComplete;
  Affichage->Decompte_actions = 42;
  Affichage->Timer_rafraichTimer();
  EXPECT_EQ(Affichage->Tampon_reception, kComplete);
  EXPECT_EQ(Affichage->Decompte_actions, 42);
  EXPECT_EQ(Affichage->Led_fichier->State(), lsOff);
  EXPECT_EQ(banner(), " VEILLE");
  EXPECT_EQ(banner_colour(), QColor(128, 128, 128));

  // The first connected cycle decodes what was left together with the new text.
  connect_port();
  Affichage->Timer_rafraichTimer();
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOn);
}

TEST_F(CycleTest, BannerBlinksBetweenItsTwoTexts) {
  connect_port();
  std::vector<QString> seen;
  for (int i = 0; i < 4; ++i) {
    tick(kComplete);
    seen.push_back(banner());
  }
  EXPECT_EQ(banner_colour(), QColor(0, 128, 0));
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_EQ(seen[0], seen[2]);
  EXPECT_TRUE((seen[0] == "   OK" && seen[1] == "   OK.") || (seen[0] == "   OK." && seen[1] == "   OK"));

  tick(kNoRmc);
  const QString a = banner();
  tick(kNoRmc);
  EXPECT_TRUE((a == "ALARME" && banner() == " alarme") || (a == " alarme" && banner() == "ALARME"));
}

TEST_F(CycleTest, BatteryLampAndAlarm) {
  for (int percent : {1, 29}) {
    power.percent = static_cast<uint8_t>(percent);
    tick();
    EXPECT_EQ(Affichage->Led_batterie->State(), lsOn) << percent;
    EXPECT_EQ(banner_colour(), QColor(255, 0, 0));  // alarm while disconnected
  }
  // An unreadable status keeps the previous reading.
  power.percent.reset();
  tick();
  EXPECT_EQ(Affichage->Led_batterie->State(), lsOn);

  Config->Bt_err_batterie->setChecked(false);
  tick();
  EXPECT_EQ(banner(), " VEILLE");
  EXPECT_EQ(Affichage->Led_batterie->State(), lsOn);

  for (int percent : {0, 30, 255}) {
    power.percent = static_cast<uint8_t>(percent);
    tick();
    EXPECT_EQ(Affichage->Led_batterie->State(), lsOff) << percent;
  }
}

TEST_F(CycleTest, SoundFollowsTheAlarmButton) {
  connect_port();
  tick(kNoRmc);
  ASSERT_EQ(sound.calls.size(), 3u);  // two alerts and the tone
  EXPECT_EQ(sound.calls[2], (testing_support::SoundCall{testing_support::SoundCall::Tone, 500, 50}));

  Affichage->Bt_acquiterClick();
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme muette!");
  tick(kNoRmc);
  EXPECT_EQ(sound.calls.size(), 3u);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));

  Affichage->Bt_acquiterClick();
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme active");
  tick(kNoRmc);
  EXPECT_EQ(sound.calls.size(), 6u);

  // No alarm, no sound.
  tick(kComplete);
  EXPECT_EQ(sound.calls.size(), 6u);
}

TEST_F(CycleTest, SignalLossAlarmAfterElevenShortCycles) {
  connect_port();
  for (int i = 0; i < 10; ++i) tick(kShort);
  EXPECT_EQ(banner_colour(), QColor(0, 128, 0));
  tick(kShort);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));
  tick(kComplete);
  EXPECT_EQ(banner_colour(), QColor(0, 128, 0));
}

TEST_F(CycleTest, LineErrorLightsTheFrameLampUntilTheEndOfTheNextCycle) {
  connect_port();
  Affichage->ComPort1Error(&Affichage->ComPort1, {serial::ceRxParity, serial::ceBreak});
  EXPECT_EQ(Affichage->Led_trame->State(), lsOff);
  Affichage->ComPort1Error(&Affichage->ComPort1, {serial::ceOverrun});
  EXPECT_EQ(Affichage->Led_trame->State(), lsOn);
  tick(kComplete);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));  // seen by that cycle's alarm
  EXPECT_EQ(Affichage->Led_trame->State(), lsOff);
  tick(kComplete);
  EXPECT_EQ(banner_colour(), QColor(0, 128, 0));
}

TEST_F(CycleTest, ReceiveBufferStopsTakingAtAThousandCharacters) {
  Affichage->ComPort1.SetEvents({});  // the test calls the handler itself
  connect_port();
  line.Feed(std::string(1200, 'x'));
  Affichage->Tampon_reception.assign(999, 'a');
  Affichage->ComPort1RxChar(&Affichage->ComPort1, 600);
  EXPECT_EQ(Affichage->Tampon_reception.size(), 1599u);
  Affichage->ComPort1RxChar(&Affichage->ComPort1, 600);
  EXPECT_EQ(Affichage->Tampon_reception.size(), 1599u);  // stays queued in the port
  EXPECT_EQ(Affichage->ComPort1.QueuedInput(), 600);
}

TEST_F(CycleTest, ReceivedTextReachesTheBufferThroughThePortEvents) {
  connect_port();
  line.Feed(kComplete);
  ASSERT_TRUE(testing_support::PumpUntil([] { return Affichage->Tampon_reception.size() == kComplete.size(); }));
  EXPECT_EQ(Affichage->Tampon_reception, kComplete);
  Affichage->Timer_rafraichTimer();
  EXPECT_EQ(Affichage->Led_verrou_gps->State(), lsOn);
}

TEST_F(CycleTest, AutomaticConnectionHappensOnceAndRetriesWhileFailing) {
  Config->Bt_connection_auto->setChecked(true);
  line.SetOpenError(ENOENT);
  EXPECT_THROW(Affichage->Timer_rafraichTimer(), std::exception);
  EXPECT_TRUE(Connexion_auto_attente);
  Affichage->Timer_rafraichTimer();  // tried again, told once only

  line.SetOpenError(0);
  Affichage->Timer_rafraichTimer();
  EXPECT_TRUE(Affichage->ComPort1.Connected());
  EXPECT_FALSE(Connexion_auto_attente);

  // A port closed by hand after that stays closed.
  Affichage->ComPort1.SetConnected(false);
  Affichage->Timer_rafraichTimer();
  EXPECT_FALSE(Affichage->ComPort1.Connected());
}

// Told once per run of failures: a new reason, the box ticked again, another
// port or a connection start a new run.
TEST_F(CycleTest, AFailingAutomaticConnectionIsToldOncePerRunOfFailures) {
  const auto told = [this](int error) {
    line.SetOpenError(error);
    try {
      Affichage->Timer_rafraichTimer();
    } catch (const std::exception&) {
      return true;
    }
    return false;
  };
  Config->Bt_connection_auto->setChecked(true);
  EXPECT_TRUE(told(ENOENT));
  EXPECT_FALSE(told(ENOENT));
  EXPECT_TRUE(told(EACCES));
  Config->Bt_connection_auto->setChecked(false);
  Config->Bt_connection_auto->setChecked(true);
  EXPECT_TRUE(told(EACCES));
  Config->Aff_select_portChange();
  EXPECT_TRUE(told(EACCES));
  EXPECT_FALSE(told(0));
  Affichage->ComPort1.SetConnected(false);
  Affichage->ComPort1DeviceLost(&Affichage->ComPort1);
  EXPECT_TRUE(told(EACCES));
  EXPECT_FALSE(told(EACCES));
}

TEST_F(CycleTest, AReceiverOnlyTheExtendedReadingUnderstandsGetsOneHintPerConnection) {
  const std::string gn = "$GNRMC,055234.000,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*13\r\n";
  const auto hinted_after = [&](int cycles) {
    for (int i = 0; i < cycles; ++i) tick(gn);
    return Affichage->Alarme->toolTip().contains("« Récepteurs récents ($GNRMC, secondes décimales) »");
  };
  connect_port();
  EXPECT_FALSE(hinted_after(9));
  tick(kNoRmc);  // counts again from 0
  EXPECT_FALSE(hinted_after(9));
  EXPECT_TRUE(hinted_after(1));
  Config->Bt_rmc_etendu->setChecked(true);  // read at the next cycle
  EXPECT_FALSE(hinted_after(1));
  Config->Bt_rmc_etendu->setChecked(false);
  EXPECT_FALSE(hinted_after(10)) << "once per connection";
  Affichage->Bt_connecterClick();
  EXPECT_TRUE(hinted_after(10));
}

TEST_F(CycleTest, UncheckedAutomaticConnectionWaitsForTheBox) {
  Affichage->Timer_rafraichTimer();
  EXPECT_FALSE(Affichage->ComPort1.Connected());
  EXPECT_EQ(line.OpenCount(), 0);
  Config->Bt_connection_auto->setChecked(true);
  Affichage->Timer_rafraichTimer();
  EXPECT_TRUE(Affichage->ComPort1.Connected());
}

}  // namespace

namespace {

class ConnectionTest : public testing_support::WindowFixture {
 protected:
  void SetUp() override { create_windows(); }

  static void expect_connected_controls(bool open) {
    EXPECT_EQ(Affichage->Bt_connecter->isEnabled(), !open);
    for (QWidget* w : std::initializer_list<QWidget*>{
             Affichage->Aff_delais, Affichage->Label_int_mesu, Affichage->Label_del_ecri, Affichage->Aff_delais_ecri,
             Affichage->Bt_deconnecter, Affichage->Label_com, Affichage->Label_trame, Affichage->Label_gps,
             Affichage->Label_fich, Affichage->Label_err}) {
      EXPECT_EQ(w->isEnabled(), open) << w->metaObject()->className();
    }
    EXPECT_TRUE(Affichage->Label_bat->isEnabled());
  }
};

TEST_F(ConnectionTest, ConnectOpensCloseAndReopensAndRearmsTheAlarm) {
  expect_connected_controls(false);
  Affichage->Bt_acquiterClick();
  ASSERT_EQ(Affichage->Bt_acquiter->text(), "Alarme muette!");

  Affichage->Bt_connecterClick();
  EXPECT_TRUE(Affichage->ComPort1.Connected());
  EXPECT_EQ(line.OpenCount(), 2);
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme active");
  expect_connected_controls(true);

  Affichage->Bt_deconnecterClick();
  EXPECT_FALSE(Affichage->ComPort1.Connected());
  expect_connected_controls(false);
}

TEST_F(ConnectionTest, AFailedConnectLeavesEverythingClosedAndTheAlarmButtonAlone) {
  Affichage->Bt_acquiterClick();
  line.SetOpenError(ENOENT);
  try {
    Affichage->Bt_connecterClick();
    FAIL() << "the open error must reach the error box";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  }
  EXPECT_FALSE(Affichage->ComPort1.Connected());
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme muette!");
  expect_connected_controls(false);
}

}  // namespace
