#include "shell/windows.h"

#include "acquisition/affichage.h"
#include "shell/config_dialog.h"
#include "viewer/progress_calcul.h"
#include "viewer/tracer_gps.h"

#include <QScreen>
#include <QWidget>

TAffichage* Affichage = nullptr;
TConfig* Config = nullptr;
TTrace* Trace = nullptr;
TCalcul* Calcul = nullptr;

namespace shell {

void centre_on_screen(QWidget* window) {
  if (const QScreen* screen = window->screen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
}

Windows::Windows(platform::PlatformServices& platform) {
  reset_acquisition_flags();
  affichage_ = std::make_unique<TAffichage>(platform);
  Affichage = affichage_.get();
  config_ = std::make_unique<TConfig>(platform);
  Config = config_.get();
  trace_ = std::make_unique<TTrace>();
  Trace = trace_.get();
  calcul_ = std::make_unique<TCalcul>();
  Calcul = calcul_.get();
}

Windows::~Windows() {
  // The dialog's selectors follow the main window's port: they go first.
  calcul_.reset();
  Calcul = nullptr;
  trace_.reset();
  Trace = nullptr;
  config_.reset();
  Config = nullptr;
  affichage_.reset();
  Affichage = nullptr;
}

}  // namespace shell
