#include "viewer/ui/screen_centring.h"

#include <QScreen>
#include <QWidget>

namespace viewer {

void centre_on_screen(QWidget* window) {
  if (const QScreen* screen = window->screen()) {
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
  }
}

}  // namespace viewer
