#include "shell/ui/windows.h"

#include "acquisition/ui/affichage.h"
#include "serial/com_error.h"
#include "serial/com_select.h"
#include "shell/settings_file.h"
#include "shell/ui/config_dialog.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"

#include <QWindow>

TAffichage* Affichage = nullptr;
TConfig* Config = nullptr;
TTrace* Trace = nullptr;
TCalcul* Calcul = nullptr;

namespace shell {

namespace {

// The ports as the dialog's selector lists them; none when the listing fails
// (the selector tells it when shown).
std::vector<std::string> listed_ports(serial::PortLister& lister) {
  serial::TComSelect select(lister);
  try {
    select.SetComProperty(serial::cpPort);
  } catch (const serial::EComPort&) {
  }
  return select.Items();
}

void bring_forward(QWidget* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

Windows::Windows(PlatformServices& platform)
    : platform_(platform), acquisition_(std::make_unique<acquisition::AcquisitionController>(platform, settings_)) {
  affichage_ = std::make_unique<TAffichage>(*acquisition_, *this);
  Affichage = affichage_.get();
  config_ = std::make_unique<TConfig>(platform, settings_, *acquisition_);
  Config = config_.get();
  calcul_ = std::make_unique<TCalcul>();
  Calcul = calcul_.get();
  trace_ = std::make_unique<TTrace>(settings_, calcul_.get());
  Trace = trace_.get();
}

Windows::~Windows() {
  // The dialog's selectors and the port's lamp follow the port: they go
  // before it.
  trace_.reset();
  Trace = nullptr;
  calcul_.reset();
  Calcul = nullptr;
  config_.reset();
  Config = nullptr;
  affichage_.reset();
  Affichage = nullptr;
  acquisition_.reset();
}

void Windows::show_configuration() { bring_forward(config_.get()); }

void Windows::show_track() { bring_forward(trace_.get()); }

std::optional<std::string> Windows::load_settings() {
  SettingsRead read = read_settings_file(platform_.settings_path);
  settings_ = std::move(read.settings);
  // The frame's corner, as pos() gives it back at the close: the main window
  // reads its settings before it is created, so that move() places the frame.
  affichage_->move(settings_.left, settings_.top);
  if (const std::string port = resolve_port(settings_, listed_ports(platform_.serial_ports)); !port.empty())
    acquisition_->port().SetPort(port);
  config_->show_settings();
  trace_->show_settings();
  return read.refusal;
}

void Windows::save_settings() {
  // The frame's corner as the window system has it now: the widget keeps the
  // frame's size from the first time it was asked, which may be before the
  // window manager had framed it.
  const QWindow* native = affichage_->windowHandle();
  const QPoint corner = native ? native->framePosition() : affichage_->pos();
  settings_.top = corner.y();
  settings_.left = corner.x();
  trace_->store_settings(settings_);
  update_port_index(settings_, listed_ports(platform_.serial_ports));
  write_settings_file(platform_.settings_path, settings_);
}

}  // namespace shell
