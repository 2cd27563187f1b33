#pragma once

#include <functional>
#include <string>

namespace corvalo::shell {

inline constexpr const char* kMsgAlreadyLoaded =
    "  Corvalo is already loaded in memory!\r\n"
    "  Please see the calculator icon on your System Tray.  ";
inline constexpr const char* kMsgLockNotClosed = "ERROR: Mutex handle was not closed properly.";

// What the program reads to find its display; empty means unset.
struct DisplayEnvironment {
    std::string display;         // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string qpaPlatform;     // QT_QPA_PLATFORM
    std::string runtimeDir;      // XDG_RUNTIME_DIR, where Wayland sockets live
};
DisplayEnvironment displayEnvironment();

// Whether a display server answers: an X display by name (":1"), a Wayland socket by path.
struct DisplayProbes {
    std::function<bool(const std::string& display)> x11Answers;
    std::function<bool(const std::string& socketPath)> waylandAnswers;
};
DisplayProbes systemDisplayProbes();

// What to print on standard error when no window can be shown (Qt would abort),
// "" when one can, or when a Qt platform chosen by hand (offscreen for tests) or a
// Wayland compositor that answers leaves the choice to Qt.
//   DISPLAY=":7" with no server -> "corvalo: cannot open display :7\n"
std::string displayProblem(const DisplayEnvironment& env, const DisplayProbes& probes,
                           const std::string& program);

// How the window meets a Wayland desktop. Stay on top and the stored window position
// need X11, so with an X server that answers (XWayland) Qt is asked for "xcb".
struct DisplayChoice {
    std::string platform;        // for Qt's -platform; "" leaves the choice to Qt
    bool nativeWayland = false;  // a Wayland window: no stay on top, no stored position
};
//   WAYLAND_DISPLAY="wayland-0", DISPLAY=":0" answering -> {"xcb", false}
//   WAYLAND_DISPLAY="wayland-0", no X server answering  -> {"", true}
//   QT_QPA_PLATFORM="wayland", set by the user          -> {"", true}
DisplayChoice chooseDisplay(const DisplayEnvironment& env, const DisplayProbes& probes);

// What to print on standard error when the program runs as a native Wayland window.
std::string nativeWaylandNotice(const std::string& program);

// What to print on standard error when the single-instance lock has no safe place.
std::string noLockMessage(const std::string& program, unsigned userId);

}  // namespace corvalo::shell
