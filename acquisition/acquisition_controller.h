// The acquisition without its window: the serial port and its receive
// buffer, the 3-second cycle, the connection (by hand and automatic), the
// recording, the clock and the alarm. The main window shows the state read
// through the accessors whenever `changed` is emitted, and forwards clicks.
#pragma once

#include "acquisition/arrival_times.h"
#include "acquisition/clock_setting.h"
#include "acquisition/fix_fields.h"
#include "acquisition/port_opening.h"
#include "acquisition/time_watch.h"
#include "serial/com_port.h"
#include "shell/platform_services.h"
#include "shell/settings.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace acquisition {

enum class BannerColour { kStandby, kOk, kAlarm };

// The lamps the cycle drives; the port lamp follows the port itself.
struct Lamps {
  bool rmc = false;         // "Trame $GPRMC valide"
  bool fix = false;         // "Satellites GPS en vue"
  bool line_error = false;  // "Erreur données liaison série"
  bool file_error = false;  // "Erreur enregistrement fichier log"
  bool battery = false;     // "Batterie ordinateur inférieure à 30 %"
};

class AcquisitionController : public QObject {
  Q_OBJECT
 public:
  // `settings` is the program's value, which the configuration dialog edits:
  // each cycle reads it afresh. The controller itself turns the extended
  // reading on there when the user has not chosen a reading and only that
  // one understands the receiver.
  AcquisitionController(shell::PlatformServices& platform, shell::Settings& settings);
  ~AcquisitionController() override;

  const shell::Settings& settings() const { return settings_; }
  serial::TComPort& port() { return port_; }
  const serial::TComPort& port() const { return port_; }

  // The user's actions.
  // Open, close, open: the close-and-reopen starts a receiver that was left
  // in a bad state from a clean line. Re-arms the alarm once open. Each
  // device is opened in the background (port_opening.h): the port opens
  // once it is, and a failure reaches the application's exception handler
  // (the error box) then. A click while an opening is under way adds none:
  // an automatic one under way becomes this connection.
  void connect_by_hand();
  // Closes the port, and drops an opening under way.
  void disconnect_by_hand();
  // "Alarme active" <-> "Alarme muette!".
  void toggle_alarm_mute();
  void arm_alarm();
  // The interval was set (or the settings were loaded): the countdown starts
  // again from it.
  void restart_countdown();
  // An automatic connection that keeps failing is told once per run of
  // failures (each distinct message once), not at every cycle: a new run
  // starts with a successful open, another port, or the box ticked again.
  void start_new_failure_run() { told_failures_.clear(); }

  // The 3-second tick. While the automatic connection waits, a cycle starts
  // an opening in the background (none while one is under way) and ends
  // there; the first failure of a run goes to the error box when the
  // opening ends.
  void run_cycle();

  // The state shown.
  const FixFields& fix() const { return fix_; }
  const Lamps& lamps() const { return lamps_; }
  const QString& banner() const { return banner_; }
  BannerColour banner_colour() const { return banner_colour_; }
  bool alarm_muted() const { return alarm_muted_; }
  int32_t countdown() const { return countdown_; }
  // The seconds before the next record as the window shows them: what the
  // last connected cycle counted down to, before it acted.
  int32_t shown_countdown() const { return shown_countdown_; }
  uint32_t cycles_without_fix() const { return cycles_without_fix_; }
  bool awaiting_auto_connection() const { return awaiting_auto_connection_; }
  // The time panel's and the time report's figures, as of now.
  TimeStatus time_status() const;
  // The hint for a receiver only the extended reading understands; empty
  // until given, and again once the port closes.
  const QString& extended_rmc_hint() const { return extended_rmc_hint_; }
  // Shown in the banner's place for a few cycles once the extended reading
  // has been turned on by the controller, or a log file turned out to be no
  // regular file; empty otherwise.
  const QString& notice() const { return notice_; }

  // What the port delivered since the last cycle, for the tests to fill.
  std::string& receive_buffer() { return receive_buffer_; }
  void set_countdown(int32_t seconds) { countdown_ = seconds; }
  // The port's handlers, reached by its event thread hand-over.
  void receive(int count);
  void line_errors(serial::TComErrors errors);

 signals:
  void changed();
  // The journal record of an acting cycle, as the text view shows it.
  void record_added(const QString& line);
  // The extended-reading hint was just given (once per connection).
  void hint_given(const QString& hint);
  // The controller has turned the extended reading on in the settings.
  void extended_rmc_switched_on();
  void connection_changed(bool open);

 private:
  // What an opening in the background is for.
  enum class OpeningStep { kAutomatic, kByHand, kByHandAgain };

  void start_opening(OpeningStep step);
  void port_prepared(const std::string& port);
  void open_by_hand(OpeningStep step);
  void device_lost();
  void port_opened_or_closed();
  void show_disconnected();
  void connect_automatically();
  int decode(const std::string& text);
  // Counts the cycles in a row that only the extended reading would decode;
  // after enough of them, turns it on (no choice of the user's) or gives the
  // hint (the user chose the usual reading), once per connection.
  void watch_extended_rmc(const std::string& text, int result);
  void switch_to_extended_rmc();
  // In the banner's place for a few cycles.
  void show_notice(const QString& text);
  // A record failed: when for a log file that is no regular file, says so,
  // once until a record succeeds again.
  void tell_refused_log_file(const std::string& journal, const std::string& last_position);
  // What an acting cycle does on a complete fix: the record to the view, the
  // clock (from `heure`, when the sentence can be trusted for it) and the log
  // files, as the settings ask; then the countdown starts again.
  void act(const std::optional<HeureCycle>& heure, TimeTrust trust);
  // The trusted fix of a cycle with when its first byte arrived: where a
  // fix's time is handed on (to chronyd here, to the clock when acting).
  void send_sample(const HeureCycle& heure);
  // `trust` says why not, without a trusted time.
  void set_clock(const std::optional<HeureCycle>& heure, TimeTrust trust);
  void update_alarm();
  void set_banner(const QString& text, BannerColour colour);

  shell::PlatformServices& platform_;
  shell::Settings& settings_;
  // Before the port, which opens through it.
  PortOpening opening_;
  OpeningStep opening_step_ = OpeningStep::kAutomatic;
  serial::TComPort port_;

  std::string receive_buffer_;
  // When the bytes of receive_buffer_ arrived; emptied with it.
  ArrivalTimes arrivals_;
  FixFields fix_;
  bool date_mended_ = false;  // by the week-rollover rule, in this cycle
  TimeWatch time_watch_;
  Lamps lamps_;
  QString banner_;
  BannerColour banner_colour_ = BannerColour::kStandby;
  bool alarm_muted_ = false;
  bool awaiting_auto_connection_ = true;
  bool blink_ = false;
  uint32_t cycles_without_fix_ = 0;
  uint8_t battery_percent_ = 0;  // the last reading; 0: none yet
  int32_t countdown_ = 0;
  int32_t shown_countdown_ = 0;
  std::set<std::string> told_failures_;
  int extended_only_cycles_ = 0;
  bool hint_given_ = false;
  QString extended_rmc_hint_;
  QString notice_;
  int notice_cycles_left_ = 0;
  bool refused_log_file_told_ = false;
};

}  // namespace acquisition
