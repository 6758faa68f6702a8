// The program's four windows: created once at start-up, in this order, and
// reached by every part of the program through these names.
#pragma once

#include "platform/platform_services.h"

#include <memory>

class QWidget;
class TAffichage;
class TConfig;
class TTrace;
class TCalcul;

extern TAffichage* Affichage;
extern TConfig* Config;
extern TTrace* Trace;
extern TCalcul* Calcul;

namespace shell {

// Centres a window, frame included, on its screen.
void centre_on_screen(QWidget* window);

// The dialog and the viewer come up centred the first time they are shown;
// afterwards they are shown again where the user left them.
class CentreOnFirstShow {
 public:
  void operator()(QWidget* window) {
    if (!done_) centre_on_screen(window);
    done_ = true;
  }

 private:
  bool done_ = false;
};

// Owns the four windows; destroying it destroys them and clears the names.
class Windows {
 public:
  explicit Windows(platform::PlatformServices& platform);
  ~Windows();
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;

 private:
  std::unique_ptr<TAffichage> affichage_;
  std::unique_ptr<TConfig> config_;
  std::unique_ptr<TTrace> trace_;
  std::unique_ptr<TCalcul> calcul_;
};

}  // namespace shell
