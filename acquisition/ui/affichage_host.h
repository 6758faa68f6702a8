// What the main window asks of the program around it: the other windows and
// the settings file are not its own.
#pragma once

#include <optional>
#include <string>

class AffichageHost {
 public:
  virtual void show_configuration() = 0;
  virtual void show_track() = 0;
  // At the first show: reads the settings file into the program's settings
  // and applies them. Returns why the file was refused, if it was.
  virtual std::optional<std::string> load_settings() = 0;
  // At close: writes the settings file; throws when it cannot.
  virtual void save_settings() = 0;

 protected:
  ~AffichageHost() = default;
};
