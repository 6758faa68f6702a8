#include "shell/settings_location.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::settings_path_for;

TEST(SettingsLocation, BesideTheProgramWithItsExtensionReplaced) {
  const shell::SettingsEnvironment env{"/x", "/home/u"};
  EXPECT_EQ(settings_path_for("/opt/orvanta/orvanta", true, env), "/opt/orvanta/orvanta.INI");
  EXPECT_EQ(settings_path_for("/opt/orvanta/orvanta.bin", true, env), "/opt/orvanta/orvanta.INI");
  EXPECT_EQ(settings_path_for("/opt/v1.2/orvanta", true, env), "/opt/v1.2/orvanta.INI");
  EXPECT_EQ(settings_path_for("orvanta", true, env), "orvanta.INI");
}

TEST(SettingsLocation, InTheConfigurationFolderWhenTheProgramFolderIsNotWritable) {
  EXPECT_EQ(settings_path_for("/usr/bin/orvanta", false, {"/cfg", "/home/u"}), "/cfg/orvanta/orvanta.INI");
  EXPECT_EQ(settings_path_for("/usr/bin/orvanta", false, {"", "/home/u"}), "/home/u/.config/orvanta/orvanta.INI");
  EXPECT_EQ(settings_path_for("/usr/bin/orvanta", false, {"cfg", "/home/u"}),
            "/home/u/.config/orvanta/orvanta.INI");
}

TEST(SettingsLocation, TheConfigurationFolderIsCreatedWhenSaving) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("cfg/orvanta/orvanta.INI").toStdString();
  shell::make_settings_folder(path);
  EXPECT_TRUE(QFileInfo(dir.filePath("cfg/orvanta")).isDir());
}
