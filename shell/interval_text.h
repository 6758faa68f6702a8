// The interval between actions as the windows show it: "H h M min S sec".
#pragma once

#include <string>

namespace shell {

std::string interval_text(int seconds);

}  // namespace shell
