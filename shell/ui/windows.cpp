#include "shell/ui/windows.h"

#include "acquisition/ui/affichage.h"
#include "shell/ui/config_dialog.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"

TAffichage* Affichage = nullptr;
TConfig* Config = nullptr;
TTrace* Trace = nullptr;
TCalcul* Calcul = nullptr;

namespace shell {

Windows::Windows(shell::PlatformServices& platform) {
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
