#include "acquisition/alarms.h"

namespace acquisition {

namespace {
// More than ten short sentences in a row: the signal has been lost for 33
// seconds or more.
constexpr uint32_t kCyclesBeforeSignalLoss = 10;
}  // namespace

bool alarm_holds(const AlarmInputs& in) {
  return (in.Bt_err_batterie && in.Led_batterie) || (in.Connected && !in.Led_GPRMC) ||
         (in.Bt_err_fichier && in.Led_fichier) || (in.Bt_err_rs232 && in.Led_trame) ||
         (in.Bt_err_signal_gps && in.Cycles_sans_position > kCyclesBeforeSignalLoss);
}

std::optional<std::string> banner_text(bool alarm, bool connected, bool clignotement) {
  if (alarm) return clignotement ? "ALARME" : " alarme";
  if (connected) return clignotement ? "   OK" : "   OK.";
  return std::nullopt;
}

}  // namespace acquisition
