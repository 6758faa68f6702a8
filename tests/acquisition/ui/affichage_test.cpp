// The main window over the acquisition: what it shows of the state, and the
// clicks it forwards.
#include "acquisition/ui/affichage.h"

#include "support/controller_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

namespace {

struct NoHost : AffichageHost {
  void show_configuration() override {}
  void show_track() override {}
  std::optional<std::string> load_settings() override { return std::nullopt; }
  void save_settings() override {}
};

class AffichageTest : public ControllerFixture {
 protected:
  void expect_connected_controls(bool open) const {
    EXPECT_EQ(window.Bt_connecter->isEnabled(), !open);
    for (QWidget* w :
         std::initializer_list<QWidget*>{window.Aff_delais, window.Label_int_mesu, window.Label_del_ecri,
                                         window.Aff_delais_ecri, window.Bt_deconnecter, window.Label_com,
                                         window.Label_trame, window.Label_gps, window.Label_fich, window.Label_err}) {
      EXPECT_EQ(w->isEnabled(), open) << w->metaObject()->className();
    }
    EXPECT_TRUE(window.Label_bat->isEnabled());
  }
  QColor banner_colour() const { return window.Alarme->palette().color(QPalette::WindowText); }

  NoHost host;
  TAffichage window{c, host};
};

TEST_F(AffichageTest, ShowsTheStateOfEachCycle) {
  window.FormShow();
  EXPECT_EQ(window.Bt_acquiter->text(), "Alarme active");
  window.Bt_connecterClick();
  c.receive_buffer() = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\r\n";
  window.Timer_rafraichTimer();
  EXPECT_EQ(window.Aff_heure->text(), "12");
  EXPECT_EQ(window.Aff_lat_miliemes->text(), "0380");
  EXPECT_EQ(window.Led_GPRMC->State(), serial::lsOn);
  EXPECT_EQ(window.Led_verrou_gps->State(), serial::lsOn);
  EXPECT_EQ(window.Aff_delais->text(), "0 h 5 min 0 sec");
  EXPECT_EQ(window.Aff_delais_ecri->text(), "0 sec");
  EXPECT_EQ(window.texte->toPlainText(),
            QString::fromUtf8("23/03/2094\t12:35:19\t48° 07' 0380\" N\t011° 31' 0000\" E\t022 noeuds"));
  EXPECT_EQ(banner_colour(), QColor(0, 128, 0));

  window.Timer_rafraichTimer();  // nothing received: alarm
  EXPECT_EQ(window.Led_GPRMC->State(), serial::lsOff);
  EXPECT_EQ(banner_colour(), QColor(255, 0, 0));
  window.Bt_acquiterClick();
  EXPECT_EQ(window.Bt_acquiter->text(), "Alarme muette!");
  EXPECT_EQ(window.Bt_acquiter->palette().color(QPalette::ButtonText), QColor(255, 0, 0));

  window.Bt_deconnecterClick();
  window.Timer_rafraichTimer();
  EXPECT_EQ(window.Alarme->text(), " VEILLE");
  EXPECT_EQ(banner_colour(), QColor(128, 128, 128));
}

TEST_F(AffichageTest, ConnectOpensCloseAndReopensAndRearmsTheAlarm) {
  expect_connected_controls(false);
  window.Bt_acquiterClick();
  ASSERT_EQ(window.Bt_acquiter->text(), "Alarme muette!");

  window.Bt_connecterClick();
  EXPECT_TRUE(c.port().Connected());
  EXPECT_EQ(line.OpenCount(), 2);
  EXPECT_EQ(window.Bt_acquiter->text(), "Alarme active");
  expect_connected_controls(true);

  window.Bt_deconnecterClick();
  EXPECT_FALSE(c.port().Connected());
  expect_connected_controls(false);
}

TEST_F(AffichageTest, AFailedConnectLeavesEverythingClosedAndTheAlarmButtonAlone) {
  window.Bt_acquiterClick();
  line.SetOpenError(ENOENT);
  try {
    window.Bt_connecterClick();
    FAIL() << "the open error must reach the error box";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 2)");
  }
  EXPECT_FALSE(c.port().Connected());
  EXPECT_EQ(window.Bt_acquiter->text(), "Alarme muette!");
  expect_connected_controls(false);
}

// The list follows the newest record as a terminal does, unless scrolled up;
// the switch to the extended reading is said in the banner's place.
TEST_F(AffichageTest, TheListFollowsUnlessScrolledUpAndTheSwitchIsSaidInTheBannersPlace) {
  window.show();
  window.Bt_connecterClick();
  settings.interval = 3;
  QScrollBar* bar = window.texte->verticalScrollBar();
  const auto cycles = [&](int count, const char* text) {
    for (int i = 0; i < count; ++i) {
      c.receive_buffer() = text;
      window.Timer_rafraichTimer();
    }
  };
  const char* gp = "$GPRMC,123519,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*6A\r\n";
  cycles(20, gp);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(2);
  cycles(5, gp);
  EXPECT_EQ(bar->value(), 2);
  bar->setValue(bar->maximum());
  cycles(1, gp);
  EXPECT_EQ(bar->value(), bar->maximum());

  cycles(10, "$GNRMC,055234.000,A,4739.71890,N,12219.58362,W,0.00,286.35,050826,,,A,V*13\r\n");
  EXPECT_TRUE(window.Alarme->isHidden());
  EXPECT_EQ(window.Notice->text(), c.notice());
  cycles(4, "");
  EXPECT_FALSE(window.Alarme->isHidden() || window.Notice->isVisible());
}

}  // namespace
