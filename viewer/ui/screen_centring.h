// Where the secondary windows come up: centred on their screen, frame
// included.
#pragma once

class QWidget;

namespace viewer {

// Centres a window, frame included, on its screen.
void centre_on_screen(QWidget* window);

// The dialog and the viewer come up centred the first time they are shown;
// afterwards they are shown again where the user left them.
class CentreOnFirstShow {
 public:
  void operator()(QWidget* window) {
    if (!done_) centre_on_screen(window);
    done_ = true;
  }

 private:
  bool done_ = false;
};

}  // namespace viewer
