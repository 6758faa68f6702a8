#include "platform/linux/sysfs_power_source.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

void put(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file) << text;
}

}  // namespace

TEST(SysfsPowerSource, ReadsTheFirstBatteryAndTellsNoBatteryFromAFailedReading) {
  QTemporaryDir dir;
  const std::filesystem::path root = dir.path().toStdString();
  platform::SysfsPowerSource power(root.string());
  EXPECT_EQ(power.battery_percent(), uint8_t{255});  // a desktop: mains only

  put(root / "AC" / "type", "Mains\n");
  EXPECT_EQ(power.battery_percent(), uint8_t{255});

  put(root / "BAT0" / "type", "Battery\n");
  put(root / "BAT0" / "capacity", "27\n");
  EXPECT_EQ(power.battery_percent(), uint8_t{27});

  // A battery whose level cannot be read keeps the caller's last reading.
  put(root / "BAT0" / "capacity", "n/a\n");
  EXPECT_EQ(power.battery_percent(), std::nullopt);
  std::filesystem::remove(root / "BAT0" / "capacity");
  EXPECT_EQ(power.battery_percent(), std::nullopt);

  platform::SysfsPowerSource absent((root / "missing").string());
  EXPECT_EQ(absent.battery_percent(), uint8_t{255});
}
