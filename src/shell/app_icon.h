#pragma once

#include <QIcon>

namespace corvalo::shell {

// The program's icon at every size it carries (16 to 256 pixels), so the window,
// the task bar and the tray each pick a drawn size instead of a scaled one.
QIcon appIcon();

}  // namespace corvalo::shell
