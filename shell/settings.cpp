#include "shell/settings.h"

#include <algorithm>
#include <type_traits>

namespace shell {

const std::array<SettingKey, 17> kSettingKeys = {{
    {"Fenetre", "Emplacement Ver.", &Settings::top, {}},
    {"Fenetre", "Emplacement Hor.", &Settings::left, {}},
    {"Fichiers", "Fichier log 1", &Settings::log_path_1, {}},
    {"Fichiers", "Fichier log 2", &Settings::log_path_2, {}},
    {"Actions", "Intervalle", &Settings::interval, SettingRange{3, 86400}},
    {"Actions", "Heure auto", &Settings::set_clock, {}},
    {"Actions", "Enregistrer dans fichier log", &Settings::record, {}},
    {"Alarmes sonores", "Batterie faible", &Settings::alarm_battery, {}},
    {"Alarmes sonores", "Perte signal GPS", &Settings::alarm_gps_signal, {}},
    {"Alarmes sonores", "Erreur fichier", &Settings::alarm_file, {}},
    {"Alarmes sonores", "Erreur port COM", &Settings::alarm_serial, {}},
    {"RS232", "Connection auto", &Settings::auto_connect, {}},
    {"RS232", "COMM", &Settings::port_index, {}},
    {"RS232", "Vitesse", &Settings::speed_index, {}},
    {"Tracer", "Zoom", &Settings::zoom_index, {}},
    {"Tracer", "Mise \xE0 jour", &Settings::refresh_delay, SettingRange{5, 600}},
    {"Tracer", "Mise \xE0 jour actif", &Settings::auto_refresh, {}},
}};

Settings default_settings(std::string_view home) {
  std::string folder(home);
  if (!folder.empty() && !folder.ends_with('/')) folder += '/';
  Settings s;
  s.log_path_1 = folder + "orvanta.txt";
  s.log_path_2 = folder + "velmora_orvanta.txt";
  return s;
}

Settings load_settings(const IniFile& ini, std::string_view home) {
  Settings s = default_settings(home);
  for (const SettingKey& k : kSettingKeys) {
    std::visit(
        [&](auto field) {
          auto& v = s.*field;
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, int32_t>) {
            v = ini.read_integer(k.section, k.key, v);
            if (k.range) v = std::clamp(v, k.range->min, k.range->max);
          } else if constexpr (std::is_same_v<T, bool>) {
            v = ini.read_bool(k.section, k.key, v);
          } else {
            v = ini.read_string(k.section, k.key, v);
          }
        },
        k.field);
  }
  s.extended_rmc = ini.read_integer(kExtendedRmcSection, kExtendedRmcKey, 0) == 1;
  s.extended_rmc_chosen = ini.has_key(kExtendedRmcSection, kExtendedRmcKey);
  s.precise_time = ini.read_integer(kClockKeepingSection, kPreciseTimeKey, 0) == 1;
  s.chrony_socket = ini.read_string(kClockKeepingSection, kChronyKey, "");
  s.port_name = read_port_name(ini);
  const int32_t width = ini.read_integer(kViewerSizeSection, kViewerWidthKey, 0);
  const int32_t height = ini.read_integer(kViewerSizeSection, kViewerHeightKey, 0);
  if (width > 0 && height > 0) {
    s.viewer_size = Settings::ViewerSize{width, height, ini.read_bool(kViewerSizeSection, kViewerMaximisedKey, false)};
  }
  if (ini.has_key(kViewerSizeSection, kViewerMapKey)) {
    s.viewer_map = Settings::ViewerMap{std::clamp(ini.read_integer(kViewerSizeSection, kViewerMapKey, 0), 0, 2),
                                       ini.read_string(kViewerSizeSection, kViewerMapServerKey, ""),
                                       ini.read_string(kViewerSizeSection, kViewerMapFileKey, ""),
                                       ini.read_string(kViewerSizeSection, kViewerMapAttributionKey, "")};
    const int32_t cache = ini.read_integer(kViewerSizeSection, kViewerMapCacheKey, s.viewer_map->cache_mb);
    if (cache >= kViewerMapCacheRange.min && cache <= kViewerMapCacheRange.max) s.viewer_map->cache_mb = cache;
  }
  return s;
}

std::optional<std::string> read_port_name(const IniFile& ini) {
  // No value holds a line break: the fallback says the key is missing.
  std::string name = ini.read_string(kPortNameSection, kPortNameKey, "\n");
  if (name == "\n") return std::nullopt;
  return name;
}

std::string resolve_port(Settings& settings, const std::vector<std::string>& listed) {
  if (settings.port_name && !settings.port_name->empty()) return *settings.port_name;
  if (settings.port_index < 0 || static_cast<size_t>(settings.port_index) >= listed.size()) return {};
  settings.port_name = listed[static_cast<size_t>(settings.port_index)];
  return *settings.port_name;
}

void update_port_index(Settings& settings, const std::vector<std::string>& listed) {
  if (!settings.port_name || settings.port_name->empty()) {
    if (static_cast<size_t>(settings.port_index) >= listed.size()) settings.port_index = -1;
    return;
  }
  const auto found = std::ranges::find(listed, *settings.port_name);
  settings.port_index = found == listed.end() ? -1 : static_cast<int32_t>(found - listed.begin());
}

void store_settings(const Settings& settings, IniFile& ini) {
  for (const SettingKey& k : kSettingKeys) {
    std::visit(
        [&](auto field) {
          const auto& v = settings.*field;
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, int32_t>)
            ini.write_integer(k.section, k.key, v);
          else if constexpr (std::is_same_v<T, bool>)
            ini.write_bool(k.section, k.key, v);
          else
            ini.write_string(k.section, k.key, v);
        },
        k.field);
  }
  if (settings.extended_rmc || settings.extended_rmc_chosen || ini.has_key(kExtendedRmcSection, kExtendedRmcKey)) {
    ini.write_bool(kExtendedRmcSection, kExtendedRmcKey, settings.extended_rmc);
  }
  if (settings.port_name) ini.write_string(kPortNameSection, kPortNameKey, *settings.port_name);
  if (settings.viewer_size) {
    ini.write_integer(kViewerSizeSection, kViewerWidthKey, settings.viewer_size->width);
    ini.write_integer(kViewerSizeSection, kViewerHeightKey, settings.viewer_size->height);
    ini.write_bool(kViewerSizeSection, kViewerMaximisedKey, settings.viewer_size->maximised);
  }
  if (const auto& map = settings.viewer_map) {
    ini.write_integer(kViewerSizeSection, kViewerMapKey, map->kind);
    ini.write_string(kViewerSizeSection, kViewerMapServerKey, map->url_template);
    ini.write_string(kViewerSizeSection, kViewerMapFileKey, map->path);
    ini.write_string(kViewerSizeSection, kViewerMapAttributionKey, map->attribution);
    ini.write_integer(kViewerSizeSection, kViewerMapCacheKey, map->cache_mb);
  }
}

}  // namespace shell
