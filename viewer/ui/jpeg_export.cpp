#include "viewer/ui/jpeg_export.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <sys/stat.h>
#include <vector>

namespace viewer {

namespace {

// libjpeg's default error_exit ends the process; this one jumps back to the
// export with the library's message.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void error_exit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Everything that must survive the longjmp lives outside the function that
// calls setjmp, so no local is left indeterminate.
struct Encoder {
  jpeg_compress_struct info{};
  ErrorManager errors{};
  std::vector<JSAMPLE> row;
};

bool encode(Encoder& e, const QImage& image, std::FILE* file) {
  e.info.err = jpeg_std_error(&e.errors.base);
  e.errors.base.error_exit = error_exit;
  if (setjmp(e.errors.jump)) {
    jpeg_destroy_compress(&e.info);
    return false;
  }
  jpeg_create_compress(&e.info);
  jpeg_stdio_dest(&e.info, file);
  e.info.image_width = static_cast<JDIMENSION>(image.width());
  e.info.image_height = static_cast<JDIMENSION>(image.height());
  e.info.input_components = 3;
  e.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e.info);
  jpeg_set_quality(&e.info, 100, TRUE);  // TRUE: baseline tables
  jpeg_start_compress(&e.info, TRUE);
  e.row.resize(static_cast<std::size_t>(image.width()) * 3);
  while (e.info.next_scanline < e.info.image_height) {
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(e.info.next_scanline)));
    for (std::size_t x = 0; x < static_cast<std::size_t>(image.width()); ++x) {
      e.row[3 * x] = static_cast<JSAMPLE>(qRed(pixels[x]));
      e.row[3 * x + 1] = static_cast<JSAMPLE>(qGreen(pixels[x]));
      e.row[3 * x + 2] = static_cast<JSAMPLE>(qBlue(pixels[x]));
    }
    JSAMPROW rows[1] = {e.row.data()};
    jpeg_write_scanlines(&e.info, rows, 1);
  }
  jpeg_finish_compress(&e.info);
  jpeg_destroy_compress(&e.info);
  return true;
}

}  // namespace

bool write_jpeg(const QImage& source, const std::string& path, std::string& error) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  // Only a regular file is removed after a failure: the name may be a device.
  struct stat info {};
  const bool regular = ::fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  Encoder encoder;
  bool ok = encode(encoder, image, file);
  if (!ok) error = encoder.errors.message;
  // A full disk often shows only when the last buffer is flushed.
  if (std::fflush(file) != 0 || std::ferror(file)) {
    if (ok) error = std::strerror(errno);
    ok = false;
  }
  if (std::fclose(file) != 0) {
    if (ok) error = std::strerror(errno);
    ok = false;
  }
  if (!ok && regular) std::remove(path.c_str());
  return ok;
}

}  // namespace viewer
