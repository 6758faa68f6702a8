#include "shell/ui/application_icon.h"

#include <gtest/gtest.h>

TEST(ApplicationIcon, OffersEverySizeOfTheDesktopThemeFromTheCompiledPictures) {
  const QIcon icon = shell::application_icon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    const QImage picture = icon.pixmap(size).toImage();
    ASSERT_EQ(picture.size(), QSize(size, size)) << size;
    // Transparent corners, an opaque middle: a real picture, not an empty one.
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << size;
    EXPECT_EQ(qAlpha(picture.pixel(size / 2, size / 2)), 255) << size;
  }
}
