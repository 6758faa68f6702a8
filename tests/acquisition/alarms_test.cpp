#include "acquisition/alarms.h"

#include "acquisition/alarm_signal.h"
#include "support/fake_alarm_sound.h"

#include <gtest/gtest.h>

using acquisition::alarm_holds;
using acquisition::AlarmInputs;
using acquisition::banner_text;

namespace {

// A connected receiver sending good sentences, every alarm box checked.
AlarmInputs quiet() {
  AlarmInputs in;
  in.Connected = true;
  in.Led_GPRMC = true;
  in.Bt_err_batterie = in.Bt_err_signal_gps = in.Bt_err_fichier = in.Bt_err_rs232 = true;
  return in;
}

struct Switchable {
  const char* name;
  void (*raise)(AlarmInputs&);
  bool AlarmInputs::*box;
};

const Switchable kSwitchable[] = {
    {"battery", [](AlarmInputs& in) { in.Led_batterie = true; }, &AlarmInputs::Bt_err_batterie},
    {"file", [](AlarmInputs& in) { in.Led_fichier = true; }, &AlarmInputs::Bt_err_fichier},
    {"serial line", [](AlarmInputs& in) { in.Led_trame = true; }, &AlarmInputs::Bt_err_rs232},
    {"signal loss", [](AlarmInputs& in) { in.Cycles_sans_position = 11; }, &AlarmInputs::Bt_err_signal_gps},
};

}  // namespace

TEST(Alarms, NothingWrongIsNoAlarm) {
  EXPECT_FALSE(alarm_holds(quiet()));
  EXPECT_FALSE(alarm_holds(AlarmInputs{}));  // disconnected, lamps off
}

// Each condition with a check box alarms with its box checked and not with it
// unchecked, whatever the other boxes say.
TEST(Alarms, EachBoxEnablesItsOwnConditionOnly) {
  for (const Switchable& c : kSwitchable) {
    SCOPED_TRACE(c.name);
    AlarmInputs in = quiet();
    c.raise(in);
    EXPECT_TRUE(alarm_holds(in));
    in.*c.box = false;
    EXPECT_FALSE(alarm_holds(in));
  }
}

TEST(Alarms, NoUsableSentenceWhileConnectedCannotBeSwitchedOff) {
  AlarmInputs in;
  in.Connected = true;
  in.Led_GPRMC = false;
  EXPECT_TRUE(alarm_holds(in));

  in.Connected = false;  // a closed port never has that lamp lit
  EXPECT_FALSE(alarm_holds(in));
}

TEST(Alarms, LowBatteryAlarmsWhileDisconnected) {
  AlarmInputs in;
  in.Led_batterie = true;
  in.Bt_err_batterie = true;
  EXPECT_TRUE(alarm_holds(in));
}

TEST(Alarms, SignalLossNeedsElevenShortCycles) {
  AlarmInputs in = quiet();
  in.Cycles_sans_position = 10;
  EXPECT_FALSE(alarm_holds(in));
  in.Cycles_sans_position = 11;
  EXPECT_TRUE(alarm_holds(in));
}

TEST(Alarms, BannerBlinksBetweenTwoTexts) {
  EXPECT_EQ(banner_text(true, true, true), "ALARME");
  EXPECT_EQ(banner_text(true, false, false), " alarme");
  EXPECT_EQ(banner_text(false, true, true), "   OK");
  EXPECT_EQ(banner_text(false, true, false), "   OK.");
  EXPECT_EQ(banner_text(false, false, true), std::nullopt);
  EXPECT_EQ(banner_text(false, false, false), std::nullopt);
}

TEST(Alarms, SignalIsTwoAlertsThenTheTone) {
  using testing_support::SoundCall;
  testing_support::FakeAlarmSound sound;
  acquisition::Signal_sonore(sound);
  const std::vector<SoundCall> expected = {{SoundCall::Alert}, {SoundCall::Alert}, {SoundCall::Tone, 500, 50}};
  EXPECT_EQ(sound.calls, expected);
}
