// The seventeen settings the settings file keeps, in file order, with their
// defaults and ranges, and the three opt-ins it holds only when they are used.
// Texts are Windows-1252 bytes, as the file holds them.
#pragma once

#include "shell/ini_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace shell {

struct Settings {
  int32_t top = 100;
  int32_t left = 100;
  std::string log_path_1;
  std::string log_path_2;
  int32_t interval = 300;  // seconds between actions
  bool set_clock = true;
  bool record = true;
  bool alarm_battery = true;
  bool alarm_gps_signal = true;
  bool alarm_file = true;
  bool alarm_serial = true;
  bool auto_connect = true;
  int32_t port_index = 0;   // -1: no selection
  int32_t speed_index = 6;  // "4800"
  int32_t zoom_index = 7;   // "80 %"
  int32_t refresh_delay = 5;
  bool auto_refresh = false;
  // Opt-ins: the reading of today's receivers ("RMC etendu=1", also in the
  // dialog), the sentence's age in the clock setting ("Heure precise=1") and
  // chronyd's socket ("Chrony=<path>", empty: none); the last two are read
  // and never written.
  bool extended_rmc = false;
  // The user's own choice of reading: the file holds "RMC etendu" (whatever
  // its value) or the box was clicked. Without one, the acquisition may turn
  // the extended reading on by itself for a receiver that needs it.
  bool extended_rmc_chosen = false;
  bool precise_time = false;
  std::string chrony_socket;
  // The port by its name ("Port=/dev/ttyUSB0", "Port=gpsd://gpsbox:2947"):
  // the one that opens. Set when the user picks a port or when "COMM" is
  // resolved at start; empty or absent: none yet.
  std::optional<std::string> port_name;
  // The viewer's size once the user has chosen one ("Largeur", "Hauteur" and
  // "Agrandie" under "Tracer"); stored only when set, so the file of a user
  // who never resized the viewer stays as it was.
  struct ViewerSize {
    int32_t width;
    int32_t height;
    bool maximised = false;
  };
  std::optional<ViewerSize> viewer_size;
  // The map under the viewer's track once the user has chosen one ("Carte":
  // 0 none, 1 a tile server, 2 an MBTiles file; "Carte serveur", "Carte
  // fichier", "Carte attribution", "Carte cache Mo", under "Tracer"); stored
  // only when set.
  struct ViewerMap {
    int32_t kind = 0;
    std::string url_template;
    std::string path;
    std::string attribution;  // empty: the source's own
    int32_t cache_mb = 500;   // the tile servers' disk cache, in MB (10^6 bytes)
  };
  std::optional<ViewerMap> viewer_map;
};

struct SettingRange {
  int32_t min;
  int32_t max;
};

struct SettingKey {
  std::string_view section;
  std::string_view key;
  std::variant<int32_t Settings::*, bool Settings::*, std::string Settings::*> field;
  std::optional<SettingRange> range;  // values read outside it are clamped
};

extern const std::array<SettingKey, 17> kSettingKeys;

// Only a file that holds one of these keys turns its option on. The save
// leaves the clock keys as the user wrote them, or absent, and writes
// "RMC etendu" only once it is in the file or turned on, so the file of a
// user who never turns an option on stays as it was.
inline constexpr std::string_view kExtendedRmcSection = "RS232";
inline constexpr std::string_view kExtendedRmcKey = "RMC etendu";
inline constexpr std::string_view kClockKeepingSection = "Actions";
inline constexpr std::string_view kPreciseTimeKey = "Heure precise";
inline constexpr std::string_view kChronyKey = "Chrony";

// The port's name decides which device opens; "COMM", its place in the
// list, is still written for older readers of the file.
inline constexpr std::string_view kPortNameSection = "RS232";
inline constexpr std::string_view kPortNameKey = "Port";
// The key's value when the file holds it ("Port=" holds an empty one).
std::optional<std::string> read_port_name(const IniFile& ini);

// The port to open: the named one; without a name, the entry `port_index`
// of the ports listed now, whose name is kept from then on, so that a list
// that changes later (gpsd up or down, an adapter plugged) never moves the
// program to another device. Empty: none.
std::string resolve_port(Settings& settings, const std::vector<std::string>& listed);
// "COMM" for older readers: the named port's place in the list now, -1 when
// it is not listed (they then open nothing rather than another device);
// without a name, -1 unless it names a listed entry.
void update_port_index(Settings& settings, const std::vector<std::string>& listed);
inline constexpr std::string_view kViewerSizeSection = "Tracer";
inline constexpr std::string_view kViewerWidthKey = "Largeur";
inline constexpr std::string_view kViewerHeightKey = "Hauteur";
inline constexpr std::string_view kViewerMaximisedKey = "Agrandie";
inline constexpr std::string_view kViewerMapKey = "Carte";
inline constexpr std::string_view kViewerMapServerKey = "Carte serveur";
inline constexpr std::string_view kViewerMapFileKey = "Carte fichier";
inline constexpr std::string_view kViewerMapAttributionKey = "Carte attribution";
inline constexpr std::string_view kViewerMapCacheKey = "Carte cache Mo";
// A cache below a few views' tiles would fetch them again at every pan; a
// value outside the range, or not a number, gives the default.
inline constexpr SettingRange kViewerMapCacheRange{10, 100000};

// The defaults: the log files sit in the home folder (bytes); an empty home
// leaves bare file names.
Settings default_settings(std::string_view home);

// Missing or malformed values take their default; ranged ones are clamped.
// "RMC etendu" and "Heure precise" turn their option on with 1 only; any
// other value leaves things as they are.
Settings load_settings(const IniFile& ini, std::string_view home);
// Writes all seventeen keys in table order, "RMC etendu" when it is on,
// chosen or already in the file (at the end of its section when it is new),
// and the port's name when the settings have one.
void store_settings(const Settings& settings, IniFile& ini);

}  // namespace shell
