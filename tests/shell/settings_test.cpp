#include "shell/settings.h"

#include <gtest/gtest.h>

using shell::IniFile;
using shell::load_settings;

namespace {

shell::Settings load(const std::string& text) { return load_settings(IniFile::parse(text), "/home/u"); }

}  // namespace

TEST(Settings, MissingFileGivesTheDefaultsWithPathsInTheHomeFolder) {
  const shell::Settings s = load("");
  EXPECT_EQ(s.log_path_1, "/home/u/orvanta.txt");
  EXPECT_EQ(s.log_path_2, "/home/u/velmora_orvanta.txt");
  EXPECT_EQ(s.interval, shell::default_settings("/home/u").interval);
  EXPECT_EQ(shell::default_settings("/home/u/").log_path_1, "/home/u/orvanta.txt");
  EXPECT_EQ(shell::default_settings("").log_path_1, "orvanta.txt");
}

TEST(Settings, IntervalAndRefreshDelayAreClampedAndMalformedNumbersTakeTheDefault) {
  const std::pair<const char*, int32_t> intervals[] = {{"1", 3},     {"100000", 86400}, {"0x3C", 60},
                                                       {"abc", 300}, {"", 300},         {"-5", 3}};
  for (const auto& [value, expected] : intervals) {
    EXPECT_EQ(load(std::string("[Actions]\nIntervalle=") + value).interval, expected) << value;
  }
  EXPECT_EQ(load("[Tracer]\nMise \xE0 jour=1").refresh_delay, 5);
  EXPECT_EQ(load("[Tracer]\nmise \xE0 JOUR=9999").refresh_delay, 600);
  // Other numbers are taken as they are: indexes are checked by their lists.
  EXPECT_EQ(load("[RS232]\nCOMM=99\n[Fenetre]\nEmplacement Hor.=-4000").port_index, 99);
}

TEST(Settings, AnEmptyPathIsKeptAndOnlyAMissingOneTakesTheDefault) {
  const shell::Settings s = load("[Fichiers]\nFichier log 1=\n");
  EXPECT_EQ(s.log_path_1, "");
  EXPECT_EQ(s.log_path_2, "/home/u/velmora_orvanta.txt");
}

TEST(Settings, BooleansAreWrittenBackAsOneOrZero) {
  IniFile ini = IniFile::parse("[RS232]\nConnection auto=2\n[Tracer]\nMise \xE0 jour actif=-1\n");
  shell::Settings s = load_settings(ini, "/h");
  EXPECT_TRUE(s.auto_connect);
  EXPECT_TRUE(s.auto_refresh);
  s.record = false;
  shell::store_settings(s, ini);
  EXPECT_EQ(ini.read_string("RS232", "Connection auto", ""), "1");
  EXPECT_EQ(ini.read_string("Tracer", "Mise \xE0 jour actif", ""), "1");
  EXPECT_EQ(ini.read_string("Actions", "Enregistrer dans fichier log", ""), "0");
}

TEST(Settings, OptInKeysAreWrittenOnlyWhenUsed) {
  EXPECT_FALSE(load("").extended_rmc);
  EXPECT_TRUE(load("[rs232]\nrmc ETENDU= 1 \n").extended_rmc);
  EXPECT_TRUE(load("[actions]\nheure PRECISE= 1 \n").precise_time);
  EXPECT_FALSE(load("").extended_rmc_chosen);
  for (const char* other : {"0", "2", "-1", "oui", ""}) {
    EXPECT_FALSE(load(std::string("[RS232]\nRMC etendu=") + other).extended_rmc) << other;
    EXPECT_TRUE(load(std::string("[RS232]\nRMC etendu=") + other).extended_rmc_chosen) << other;
    EXPECT_FALSE(load(std::string("[Actions]\nHeure precise=") + other).precise_time) << other;
  }

  // "RMC etendu" off and absent stays absent; on, or already in the file,
  // its line holds the state.
  IniFile plain;
  shell::store_settings(load(""), plain);
  EXPECT_EQ(plain.text().find("etendu"), std::string::npos);
  shell::Settings unticked = load("");
  unticked.extended_rmc_chosen = true;  // ticked and unticked again in the dialog
  shell::store_settings(unticked, plain);
  EXPECT_NE(plain.text().find("Vitesse=6\r\nRMC etendu=0\r\n[Tracer]"), std::string::npos) << plain.text();
  shell::store_settings(load("[RS232]\nRMC etendu=1\n"), plain);
  EXPECT_NE(plain.text().find("Vitesse=6\r\nRMC etendu=1\r\n[Tracer]"), std::string::npos) << plain.text();

  IniFile with = IniFile::parse("[RS232]\nRMC etendu=0x1\nCOMM=3\n");
  shell::store_settings(load(""), with);
  EXPECT_NE(with.text().find("[RS232]\r\nRMC etendu=0\r\nCOMM=0\r\n"), std::string::npos) << with.text();
}

TEST(Settings, APortNameIsUsedAndKeptOnlyWhereTheFileHoldsOne) {
  EXPECT_EQ(load("[rs232]\nport = gpsd://127.0.0.1:29470 \n").port_name, "gpsd://127.0.0.1:29470");
  for (const char* text : {"[RS232]\nCOMM=2\n", "[RS232]\nPort=\n"}) {
    IniFile ini = IniFile::parse(text);
    shell::Settings s = load_settings(ini, "/h");
    if (s.port_name) s.port_name = "gpsd://";
    shell::store_settings(s, ini);
    EXPECT_EQ(shell::read_port_name(ini), s.port_name) << text;
  }
}

TEST(Settings, TheViewerSizeIsReadWhenBothKeysHoldOneAndWrittenOnlyOnceSet) {
  EXPECT_FALSE(load("[Tracer]\nLargeur=900\n").viewer_size);
  EXPECT_FALSE(load("[Tracer]\nLargeur=900\nHauteur=0\n").viewer_size);
  const shell::Settings s = load("[Tracer]\nLargeur=900\nHauteur=800\nAgrandie=1\n");
  ASSERT_TRUE(s.viewer_size);
  EXPECT_EQ(s.viewer_size->width, 900);
  EXPECT_EQ(s.viewer_size->height, 800);
  EXPECT_TRUE(s.viewer_size->maximised);
  IniFile ini = IniFile::parse("");
  shell::store_settings(load(""), ini);
  EXPECT_FALSE(ini.has_key("Tracer", "Largeur"));
  shell::store_settings(s, ini);
  EXPECT_EQ(ini.read_string("Tracer", "Hauteur", ""), "800");
  EXPECT_EQ(ini.read_string("Tracer", "Agrandie", ""), "1");
}

TEST(Settings, TheViewerMapIsReadOnlyWhenChosenAndWrittenBackWhole) {
  EXPECT_FALSE(load("[Tracer]\nCarte serveur=http://x/{z}/{x}/{y}.png\n").viewer_map);
  const shell::Settings s = load("[Tracer]\nCarte=7\nCarte fichier=/m.mbtiles\nCarte attribution=\xA9 X\n");
  ASSERT_TRUE(s.viewer_map);
  EXPECT_EQ(s.viewer_map->kind, 2);  // clamped to the last kind
  IniFile ini = IniFile::parse("");
  shell::store_settings(s, ini);
  EXPECT_EQ(ini.read_string("Tracer", "Carte", ""), "2");
  EXPECT_EQ(ini.read_string("Tracer", "Carte fichier", ""), "/m.mbtiles");
  EXPECT_EQ(ini.read_string("Tracer", "Carte attribution", ""), "\xA9 X");
  EXPECT_EQ(ini.read_string("Tracer", "Carte cache Mo", ""), "500");  // the default, written with the others
  // The disk cache's cap: a value out of 10..100000 MB, or no number, is the default.
  const std::pair<const char*, int32_t> caps[] = {{"200", 200},    {"10", 10},    {"100000", 100000}, {"9", 500},
                                                  {"100001", 500}, {"-300", 500}, {"lots", 500},      {"", 500}};
  for (const auto& [text, mb] : caps) {
    EXPECT_EQ(load(std::string("[Tracer]\nCarte=1\nCarte cache Mo=") + text + "\n").viewer_map->cache_mb, mb) << text;
  }
}
