// Writes the drawing as a baseline colour JPEG at quality 100 with libjpeg.
#pragma once

#include <QImage>
#include <string>

namespace viewer {

// Writes `image` to `path` (bytes as the file system takes them), replacing
// the file. On failure returns false with the reason in `error` and removes
// what was written, so a failed export never leaves a file that looks whole.
bool write_jpeg(const QImage& image, const std::string& path, std::string& error);

}  // namespace viewer
