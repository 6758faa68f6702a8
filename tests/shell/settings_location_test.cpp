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
  EXPECT_EQ(settings_path_for("/usr/bin/orvanta", false, {"cfg", "/home/u"}), "/home/u/.config/orvanta/orvanta.INI");
}

TEST(SettingsLocation, AnInstalledProgramUsesTheConfigurationFolderEvenWhenItCouldWriteBesideItself) {
  // Root can write /usr/bin: the settings still go to root's own folder.
  const shell::SettingsEnvironment env{"", "/root"};
  for (const char* program : {"/usr/bin/orvanta", "/usr/local/bin/orvanta", "/bin/orvanta", "/usr/sbin/orvanta",
                              "/opt/orvanta/bin/orvanta", "/home/u/.local/bin/orvanta"}) {
    EXPECT_EQ(settings_path_for(program, true, env), "/root/.config/orvanta/orvanta.INI") << program;
  }
  // A folder merely named like one, or a build tree, is the program's own.
  EXPECT_EQ(settings_path_for("/home/u/binaries/orvanta", true, env), "/home/u/binaries/orvanta.INI");
  EXPECT_EQ(settings_path_for("/home/u/src/orvanta/build/release/orvanta", true, env),
            "/home/u/src/orvanta/build/release/orvanta.INI");
}

TEST(SettingsLocation, TheConfigurationFolderIsCreatedWhenSaving) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("cfg/orvanta/orvanta.INI").toStdString();
  shell::make_settings_folder(path);
  EXPECT_TRUE(QFileInfo(dir.filePath("cfg/orvanta")).isDir());
}
