#pragma once

#include <string>

namespace corvalo::shell {

inline constexpr const char* kMsgAlreadyLoaded =
    "  Corvalo is already loaded in memory!\r\n"
    "  Please see the calculator icon on your System Tray.  ";
inline constexpr const char* kMsgLockNotClosed = "ERROR: Mutex handle was not closed properly.";

// Whether a window can be shown at all: an X11 or Wayland display, or a Qt
// platform chosen by hand (offscreen for tests). Null means unset.
bool displayAvailable(const char* display, const char* waylandDisplay, const char* qpaPlatform);

// What to print on standard error when there is none.
std::string noDisplayMessage(const std::string& program);

}  // namespace corvalo::shell
