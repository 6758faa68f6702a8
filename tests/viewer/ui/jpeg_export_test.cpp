#include "viewer/ui/jpeg_export.h"

#include "viewer/plan_drawing.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/resource.h>

namespace {

QImage drawing() {
  QImage image = viewer::new_plan_bitmap();
  QPainter painter(&image);
  painter.setPen(Qt::blue);
  painter.drawLine(10, 10, 700, 500);
  return image;
}

struct Decoded {
  int width = 0, height = 0, components = 0;
  bool progressive = true;
  bool all_quantisation_one = false;
};

Decoded decode(const std::string& path) {
  Decoded d;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return d;
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  d.width = static_cast<int>(info.image_width);
  d.height = static_cast<int>(info.image_height);
  d.components = info.num_components;
  d.progressive = info.progressive_mode;
  d.all_quantisation_one = true;
  int tables = 0;
  for (JQUANT_TBL* table : info.quant_tbl_ptrs) {
    if (!table) continue;
    ++tables;
    for (UINT16 q : table->quantval) d.all_quantisation_one &= q == 1;
  }
  d.all_quantisation_one &= tables > 0;
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return d;
}

}  // namespace

TEST(JpegExport, WritesABaselineColourImageAtQuality100) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("Trac\xC3\xA9").toStdString();  // no extension added
  std::string error;
  ASSERT_TRUE(viewer::write_jpeg(drawing(), path, error)) << error;
  const Decoded d = decode(path);
  EXPECT_EQ(d.width, 715);
  EXPECT_EQ(d.height, 539);
  EXPECT_EQ(d.components, 3);
  EXPECT_FALSE(d.progressive);
  EXPECT_TRUE(d.all_quantisation_one);
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("\xFF\xC0"));  // SOF0: baseline
  const QImage back(QString::fromStdString(path), "JPEG");
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.size(), QSize(715, 539));
  EXPECT_GE(qRed(back.pixel(600, 100)), 250);  // white stays white
  EXPECT_LT(qRed(back.pixel(355, 255)), 200);  // the blue line is there
}

TEST(JpegExport, AFailedWriteIsReportedAndLeavesNoPartialFile) {
  std::string error;
  EXPECT_FALSE(viewer::write_jpeg(drawing(), "/nonexistent-folder/trace.jpg", error));
  EXPECT_FALSE(error.empty());

  // A full device: the failure shows at the flush; the device itself stays.
  error.clear();
  EXPECT_FALSE(viewer::write_jpeg(drawing(), "/dev/full", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(QFile::exists("/dev/full"));

  // A file that cannot grow past 1 KiB: what was written goes.
  QTemporaryDir dir;
  const std::string path = dir.filePath("trace.jpg").toStdString();
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  error.clear();
  const bool written = viewer::write_jpeg(drawing(), path, error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}
