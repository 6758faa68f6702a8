#include "shell/ui/application_icon.h"

// The pictures are compiled into the static library, whose linker drops the
// resource object unless something refers to it.
static void register_icon_images() { Q_INIT_RESOURCE(icon); }

namespace shell {

QIcon application_icon() {
  register_icon_images();
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addFile(QString(":/icon/%1").arg(size), QSize(size, size));
  return icon;
}

}  // namespace shell
