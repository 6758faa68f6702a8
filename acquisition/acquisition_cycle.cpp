// The 3-second cycle: the decode of what the port delivered, the lamps, the
// countdown, the actions and the alarm.
#include "acquisition/acquisition_controller.h"
#include "acquisition/alarm_signal.h"
#include "acquisition/alarms.h"
#include "acquisition/clock_log_text.h"
#include "acquisition/diagnostics.h"
#include "acquisition/log_line.h"
#include "acquisition/log_writer.h"
#include "acquisition/rmc_decoder.h"
#include "acquisition/rmc_normaliser.h"
#include "acquisition/time_keeping.h"
#include "acquisition/week_rollover.h"
#include "common/cp1252.h"

#include <QFile>
#include <QFileInfo>

namespace acquisition {

namespace {

// The receive buffer takes no more once it holds this many characters; what
// arrives then waits in the port's input queue.
constexpr size_t kReceiveLimit = 1000;
// Cycles in a row without a fix for the usual reading, with one for the
// extended reading, before the switch or the hint: not a passing burst of
// another talker.
constexpr int kCyclesBeforeHint = 10;
// A notice stays this many cycles (12 seconds): long enough to be read,
// short enough to give the banner back for the alarms.
constexpr int kNoticeCycles = 4;
// The longest file name the notice shows whole.
constexpr qsizetype kNoticeNameLength = 18;

// The settings hold Windows-1252 bytes; the system takes UTF-8.
std::string native_path(const std::string& bytes) {
  return QFile::encodeName(QString::fromStdU16String(common::from_cp1252(bytes))).toStdString();
}

// Why a complete fix may not give the clock its time.
const char* untrusted_because(TimeTrust trust) {
  return trust == TimeTrust::bad_checksum ? "bad checksum" : "void fix (status not A)";
}

}  // namespace

void AcquisitionController::receive(int count) {
  if (receive_buffer_.size() >= kReceiveLimit) return;
  std::string received;
  port_.ReadText(received, count);
  arrivals_.mark(receive_buffer_.size(), port_.RxArrival());
  receive_buffer_ += received;
}

void AcquisitionController::line_errors(serial::TComErrors errors) {
  if (!errors.contains(serial::ceFrame) && !errors.contains(serial::ceOverrun)) return;
  lamps_.line_error = true;
  emit changed();
}

void AcquisitionController::show_disconnected() {
  lamps_.line_error = false;
  lamps_.file_error = false;
  lamps_.rmc = false;
  lamps_.fix = false;
  cycles_without_fix_ = 0;
  set_banner(" VEILLE", BannerColour::kStandby);
}

int AcquisitionController::decode(const std::string& text) {
  const int r = settings_.extended_rmc ? Decodage_RMC_etendu(text, fix_) : Decodage_GPRMC(text, fix_);
  // Before anything reads the fields: the screen, the journal and the clock
  // all take the mended date.
  const std::optional<platform::UtcInstant> now = platform::instant_of(platform_.clock.now_utc());
  date_mended_ = now && mend_week_rollover(fix_, std::chrono::floor<std::chrono::days>(*now));
  if (date_mended_) qCDebug(lcClock) << "receiver date mended after a week-number rollover";
  return r;
}

void AcquisitionController::watch_extended_rmc(const std::string& text, int result) {
  if (settings_.extended_rmc) {
    extended_only_cycles_ = 0;
    extended_rmc_hint_.clear();
    return;
  }
  if (hint_given_) return;
  FixFields scratch;
  const bool only_extended = result != Trame_complete && Decodage_RMC_etendu(text, scratch) == Trame_complete;
  extended_only_cycles_ = only_extended ? extended_only_cycles_ + 1 : 0;
  if (extended_only_cycles_ < kCyclesBeforeHint) return;
  hint_given_ = true;
  if (!settings_.extended_rmc_chosen) {
    switch_to_extended_rmc();
    return;
  }
  // The user keeps the reading chosen. Not a box: the acquisition goes on,
  // and the hint stays on the banner.
  extended_rmc_hint_ = QString::fromUtf8(
      "Ce récepteur envoie des trames RMC que la lecture\n"
      "habituelle ne comprend pas : cochez dans Configuration\n"
      "« Récepteurs récents ($GNRMC, secondes décimales) ».");
  emit hint_given(extended_rmc_hint_);
}

void AcquisitionController::switch_to_extended_rmc() {
  // A receiver of today (another talker, decimals of seconds) that the usual
  // reading never decodes: read it from the next cycle on. The settings
  // file keeps it at the next save, and the dialog's box shows it.
  qCDebug(lcAcquisition) << "extended reading turned on: only it decodes this receiver's RMC sentences";
  settings_.extended_rmc = true;
  show_notice(QString::fromUtf8("Récepteurs récents :\nlecture activée\n(voir Configuration)"));
  emit extended_rmc_switched_on();
}

void AcquisitionController::show_notice(const QString& text) {
  notice_ = text;
  notice_cycles_left_ = kNoticeCycles;
}

void AcquisitionController::tell_refused_log_file(const std::string& journal, const std::string& last_position) {
  if (refused_log_file_told_) return;
  for (const std::string& path : {journal, last_position}) {
    if (!refused_log_file(path)) continue;
    qCDebug(lcAcquisition) << path.c_str() << "is no regular file: no record is written into it";
    refused_log_file_told_ = true;
    // The name alone, cut to the notice's width.
    QString name = QFileInfo(QFile::decodeName(path.c_str())).fileName();
    if (name.size() > kNoticeNameLength) name = name.left(kNoticeNameLength - 1) + QString::fromUtf8("…");
    show_notice(QString::fromUtf8("« %1 »\nn'est pas un fichier\nordinaire : rien\nn'y est enregistré").arg(name));
    return;
  }
}

void AcquisitionController::run_cycle() {
  blink_ = !blink_;
  if (notice_cycles_left_ > 0 && --notice_cycles_left_ == 0) notice_.clear();

  if (settings_.auto_connect && awaiting_auto_connection_) {
    if (port_.Connected()) {
      awaiting_auto_connection_ = false;
    } else {
      if (!opening_.under_way()) {
        qCDebug(lcAcquisition) << "automatic connection to" << port_.Port().c_str();
        start_opening(OpeningStep::kAutomatic);
      }
      // Under way still, or failed: the cycle ends as one that could not
      // connect.
      if (awaiting_auto_connection_) return;
    }
  }

  if (!port_.Connected()) {
    show_disconnected();
  } else {
    const int r = decode(receive_buffer_);
    watch_extended_rmc(receive_buffer_, r);
    // The fix's time when the sentence can be trusted for it, with when its
    // first byte arrived: handed to chronyd at every cycle, to the clock when
    // the cycle acts.
    std::optional<HeureCycle> heure;
    TimeTrust trust = TimeTrust::no_sentence;
    if (r == Trame_complete) {
      heure = Heure_du_cycle(receive_buffer_, settings_.extended_rmc, fix_, arrivals_);
      trust = time_trust(receive_buffer_, rmc_sentence_start(receive_buffer_, settings_.extended_rmc));
      if (!heure) {
        qCDebug(lcClock) << "no time from this fix:" << untrusted_because(trust);
      }
    }
    receive_buffer_.clear();
    arrivals_.clear();
    lamps_.fix = r == Trame_complete;
    lamps_.rmc = r == Trame_complete || r == Trame_courte;
    cycles_without_fix_ = r == Trame_courte ? cycles_without_fix_ + 1 : 0;

    countdown_ = countdown_ >= 3 ? countdown_ - 3 : 0;
    shown_countdown_ = countdown_;

    if (heure) send_sample(*heure);
    if (r == Trame_complete && countdown_ <= 0) act(heure, trust);
  }

  if (std::optional<uint8_t> percent = platform_.power.battery_percent()) battery_percent_ = *percent;
  lamps_.battery = battery_percent_ < 30 && battery_percent_ != 0;

  update_alarm();
  lamps_.line_error = false;
  emit changed();
}

void AcquisitionController::act(const std::optional<HeureCycle>& heure, TimeTrust trust) {
  const std::string line = Ligne_log(fix_);
  emit record_added(QString::fromStdU16String(common::from_cp1252(line)));

  if (settings_.set_clock) {
    if (!heure) qCDebug(lcClock) << "clock not set: the fix cannot be trusted for the time";
    set_clock(heure, trust);
  } else {
    qCDebug(lcClock) << "clock not set: not asked for";
  }

  if (settings_.record) {
    const std::string journal = native_path(settings_.log_path_1);
    const std::string last_position = native_path(settings_.log_path_2);
    const bool ok = Ecriture_fichiers_log(journal, last_position, line, fix_);
    if (ok) {
      refused_log_file_told_ = false;
    } else {
      qCDebug(lcAcquisition) << "recording failed in" << settings_.log_path_1.c_str() << "or"
                             << settings_.log_path_2.c_str();
      tell_refused_log_file(journal, last_position);
    }
    lamps_.file_error = !ok;
  }

  countdown_ = settings_.interval;
}

void AcquisitionController::set_clock(const std::optional<HeureCycle>& heure, TimeTrust trust) {
  const std::optional<platform::UtcInstant> before = platform::instant_of(platform_.clock.now_utc());
  const ClockOutcome outcome = set_clock_from_cycle(platform_.clock, heure, trust, settings_.precise_time, time_watch_);
  if (!heure) return;
  qCDebug(lcClock).noquote()
      << clock_set_words(heure->gps, outcome, before.value_or(platform::UtcInstant{}), date_mended_).c_str();
}

void AcquisitionController::send_sample(const HeureCycle& heure) {
  hand_on_fix_time(platform_.clock, platform_.time_samples, native_path(settings_.chrony_socket), heure, time_watch_);
}

TimeStatus AcquisitionController::time_status() const {
  const std::optional<platform::UtcInstant> now = platform::instant_of(platform_.clock.now_utc());
  return time_watch_.status(now.value_or(platform::UtcInstant{}), platform_.clock_sync.read(),
                            native_path(settings_.chrony_socket));
}

void AcquisitionController::update_alarm() {
  AlarmInputs in;
  in.Led_batterie = lamps_.battery;
  in.Led_GPRMC = lamps_.rmc;
  in.Led_fichier = lamps_.file_error;
  in.Led_trame = lamps_.line_error;
  in.Connected = port_.Connected();
  in.Cycles_sans_position = cycles_without_fix_;
  in.Bt_err_batterie = settings_.alarm_battery;
  in.Bt_err_signal_gps = settings_.alarm_gps_signal;
  in.Bt_err_fichier = settings_.alarm_file;
  in.Bt_err_rs232 = settings_.alarm_serial;
  const bool alarm = alarm_holds(in);
  if (std::optional<std::string> text = banner_text(alarm, port_.Connected(), blink_))
    set_banner(QString::fromStdString(*text), alarm ? BannerColour::kAlarm : BannerColour::kOk);
  if (alarm && !alarm_muted_) Signal_sonore(platform_.sound);
}

}  // namespace acquisition
