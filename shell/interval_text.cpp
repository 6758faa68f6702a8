#include "shell/interval_text.h"

namespace shell {

std::string interval_text(int seconds) {
  return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min " +
         std::to_string(seconds % 60) + " sec";
}

}  // namespace shell
