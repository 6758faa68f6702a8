// The program's four windows: created once at start-up, in this order, and
// reached by every part of the program through these names.
#pragma once

#include "shell/platform_services.h"

#include <memory>

class TAffichage;
class TConfig;
class TTrace;
class TCalcul;

extern TAffichage* Affichage;
extern TConfig* Config;
extern TTrace* Trace;
extern TCalcul* Calcul;

namespace shell {

// Owns the four windows; destroying it destroys them and clears the names.
class Windows {
 public:
  explicit Windows(PlatformServices& platform);
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
