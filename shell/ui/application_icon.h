// The program's icon (a track on a map tile), in every size the desktop asks
// for, from the pictures compiled into the program.
#pragma once

#include <QIcon>

namespace shell {

QIcon application_icon();

}  // namespace shell
