// Whether the monitoring is in alarm, decided afresh at every cycle from the
// lamps, the counter and the alarm check boxes: an alarm has no memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace acquisition {

struct AlarmInputs {
  // Lamp states, true when lit.
  bool Led_batterie = false;
  bool Led_GPRMC = false;
  bool Led_fichier = false;
  bool Led_trame = false;
  bool Connected = false;  // the serial port is open
  uint32_t Cycles_sans_position = 0;
  // The check boxes that enable each condition.
  bool Bt_err_batterie = false;
  bool Bt_err_signal_gps = false;
  bool Bt_err_fichier = false;
  bool Bt_err_rs232 = false;
};

// A receiver that sends no usable sentence while connected is always an alarm:
// that one condition has no check box.
bool alarm_holds(const AlarmInputs& in);

// The banner text for this cycle: "ALARME" / " alarme" (red) in alarm,
// "   OK" / "   OK." (green) when connected without alarm, each pair
// alternating with Clignotement; nullopt when disconnected without alarm,
// where the banner keeps the " VEILLE" the disconnected cycle set.
std::optional<std::string> banner_text(bool alarm, bool connected, bool clignotement);

}  // namespace acquisition
