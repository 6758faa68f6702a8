// The program's four windows over its settings and its acquisition: created
// once at start-up, in this order, and reached through these names from the
// shell only.
#pragma once

#include "acquisition/acquisition_controller.h"
#include "acquisition/ui/affichage_host.h"
#include "shell/platform_services.h"
#include "shell/settings.h"

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

// Owns the settings, the acquisition and the four windows; destroying it
// destroys them and clears the names.
class Windows final : public AffichageHost {
 public:
  explicit Windows(PlatformServices& platform);
  ~Windows();
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;

  Settings& settings() { return settings_; }
  acquisition::AcquisitionController& acquisition() { return *acquisition_; }

  void show_configuration() override;
  void show_track() override;
  // Resolves a port given by its place in the list to its name, which is
  // kept from then on.
  std::optional<std::string> load_settings() override;
  void save_settings() override;

 private:
  PlatformServices& platform_;
  Settings settings_;
  std::unique_ptr<acquisition::AcquisitionController> acquisition_;
  std::unique_ptr<TAffichage> affichage_;
  std::unique_ptr<TConfig> config_;
  std::unique_ptr<TCalcul> calcul_;
  std::unique_ptr<TTrace> trace_;
};

}  // namespace shell
