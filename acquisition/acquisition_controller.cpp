// The controller's port, the connection by hand and automatic, and the alarm
// button's state.
#include "acquisition/acquisition_controller.h"

#include "acquisition/diagnostics.h"

#include <exception>

namespace acquisition {

AcquisitionController::AcquisitionController(shell::PlatformServices& platform, shell::Settings& settings)
    : platform_(platform),
      settings_(settings),
      opening_(platform.serial_devices, platform.background),
      port_(opening_.opener()) {
  port_.SetBaudRate(serial::br4800);
  port_.SetPort("COM1");
  port_.OnRxChar = [this](serial::TCustomComPort*, int count) { receive(count); };
  port_.OnError = [this](serial::TCustomComPort*, serial::TComErrors errors) { line_errors(errors); };
  port_.OnDeviceLost = [this](serial::TCustomComPort*) { device_lost(); };
  port_.OnAfterOpen = [this](serial::TCustomComPort*) { port_opened_or_closed(); };
  port_.OnAfterClose = [this](serial::TCustomComPort*) { port_opened_or_closed(); };
  set_banner(" VEILLE", BannerColour::kStandby);
}

AcquisitionController::~AcquisitionController() {
  // Closing the port at destruction must not call back into what is being
  // torn down: the port outlives the receive buffer, and its close still
  // hands pending events over.
  port_.OnRxChar = nullptr;
  port_.OnError = nullptr;
  port_.OnDeviceLost = nullptr;
  port_.OnAfterOpen = nullptr;
  port_.OnAfterClose = nullptr;
}

void AcquisitionController::connect_by_hand() {
  qCDebug(lcAcquisition) << "connecting by hand to" << port_.Port().c_str();
  if (opening_.under_way()) {
    if (opening_step_ == OpeningStep::kAutomatic) opening_step_ = OpeningStep::kByHand;
    return;
  }
  if (!port_.Connected()) {
    start_opening(OpeningStep::kByHand);
    return;
  }
  port_.SetConnected(false);
  start_opening(OpeningStep::kByHandAgain);
}

void AcquisitionController::disconnect_by_hand() {
  opening_.cancel();
  port_.SetConnected(false);
}

void AcquisitionController::start_opening(OpeningStep step) {
  opening_step_ = step;
  opening_.start(port_.Port(), [this](const std::string& port) { port_prepared(port); });
}

void AcquisitionController::port_prepared(const std::string& port) {
  if (port != port_.Port()) {
    // The user named another port meanwhile; what was opened is closed. A
    // click is for the port named now; the automatic connection tries it at
    // the next cycle.
    qCDebug(lcAcquisition) << "opened" << port.c_str() << "for nothing: the port is now" << port_.Port().c_str();
    if (opening_step_ != OpeningStep::kAutomatic) start_opening(opening_step_);
    return;
  }
  if (opening_step_ == OpeningStep::kAutomatic)
    connect_automatically();
  else
    open_by_hand(opening_step_);
}

void AcquisitionController::open_by_hand(OpeningStep step) {
  try {
    port_.SetConnected(true);
    if (step == OpeningStep::kByHand) port_.SetConnected(false);
  } catch (const std::exception& e) {
    qCDebug(lcAcquisition) << "connection failed:" << e.what();
    throw;
  }
  if (step == OpeningStep::kByHand) {
    start_opening(OpeningStep::kByHandAgain);
    return;
  }
  qCDebug(lcAcquisition) << "connected to" << port_.Port().c_str();
  arm_alarm();
}

void AcquisitionController::connect_automatically() {
  try {
    port_.SetConnected(true);
  } catch (const std::exception& e) {
    qCDebug(lcAcquisition) << "automatic connection failed:" << e.what();
    // Tried again at every cycle, so that a receiver plugged in later
    // connects by itself; the box comes once, not every 3 seconds.
    if (told_failures_.insert(e.what()).second) throw;
    return;
  }
  qCDebug(lcAcquisition) << "connected to" << port_.Port().c_str();
  awaiting_auto_connection_ = false;
}

void AcquisitionController::device_lost() {
  // The receiver was unplugged and the port has closed itself. Shown at once:
  // with automatic connection on, the next cycles try to reopen the same port
  // until it is back, and a failed attempt ends a cycle before its own
  // disconnected display. Off, the user reconnects by hand.
  qCDebug(lcAcquisition) << "the device of" << port_.Port().c_str() << "is gone";
  if (settings_.auto_connect) awaiting_auto_connection_ = true;
  show_disconnected();
  emit changed();
}

void AcquisitionController::port_opened_or_closed() {
  const bool open = port_.Connected();
  if (open) {
    start_new_failure_run();
  } else {
    // The next connection may be another receiver: it gets its own hint,
    // and its own delay.
    time_watch_.port_closed();
    extended_only_cycles_ = 0;
    hint_given_ = false;
    extended_rmc_hint_.clear();
  }
  emit connection_changed(open);
}

void AcquisitionController::arm_alarm() {
  alarm_muted_ = false;
  emit changed();
}

void AcquisitionController::toggle_alarm_mute() {
  alarm_muted_ = !alarm_muted_;
  emit changed();
}

void AcquisitionController::restart_countdown() {
  countdown_ = settings_.interval;
  emit changed();
}

void AcquisitionController::set_banner(const QString& text, BannerColour colour) {
  banner_ = text;
  banner_colour_ = colour;
}

}  // namespace acquisition
