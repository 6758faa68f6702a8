#include "shell/font_substitutions.h"

#include <QFont>

namespace shell {

void install_font_substitutions() {
  // Liberation Sans has the metrics the dialog font was drawn with, where the
  // default substitute is much wider.
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
}

}  // namespace shell
