#include "shell/startup.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace corvalo::shell {

namespace {

std::string fromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The environment's text made safe for a terminal: control characters become '?'.
std::string printable(std::string text) {
    for (char& c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7f) c = '?';
    }
    return text;
}

std::string cannotOpen(const std::string& program, const std::string& display) {
    return program + ": cannot open display " + printable(display) + "\n";
}

bool x11Answers(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);  // also for a failed connection, which is never null
    return answers;
}

bool waylandAnswers(const std::string& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return answers;
}

// "wayland-0" lies in the runtime folder; an absolute name is the socket itself.
std::string waylandSocketPath(const DisplayEnvironment& env) {
    if (env.waylandDisplay.front() == '/') return env.waylandDisplay;
    if (env.runtimeDir.empty()) return "";
    return env.runtimeDir + "/" + env.waylandDisplay;
}

}  // namespace

DisplayEnvironment displayEnvironment() {
    return {fromEnv("DISPLAY"), fromEnv("WAYLAND_DISPLAY"), fromEnv("QT_QPA_PLATFORM"),
            fromEnv("XDG_RUNTIME_DIR")};
}

DisplayProbes systemDisplayProbes() {
    return {x11Answers, waylandAnswers};
}

std::string displayProblem(const DisplayEnvironment& env, const DisplayProbes& probes,
                           const std::string& program) {
    const bool xcbChosen = env.qpaPlatform.rfind("xcb", 0) == 0;
    if (!env.qpaPlatform.empty() && !xcbChosen) return "";
    if (!xcbChosen && !env.waylandDisplay.empty() &&
        probes.waylandAnswers(waylandSocketPath(env))) {
        return "";
    }
    if (!env.display.empty()) {
        return probes.x11Answers(env.display) ? "" : cannotOpen(program, env.display);
    }
    if (!xcbChosen && !env.waylandDisplay.empty()) return cannotOpen(program, env.waylandDisplay);
    return program +
           ": no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
           "Start it from a desktop session, or under Xvfb for a machine without a screen.\n";
}

DisplayChoice chooseDisplay(const DisplayEnvironment& env, const DisplayProbes& probes) {
    // The user's own platform stands ("wayland;xcb" tries Wayland first).
    if (!env.qpaPlatform.empty()) return {"", env.qpaPlatform.rfind("wayland", 0) == 0};
    if (env.waylandDisplay.empty()) return {};
    if (!env.display.empty() && probes.x11Answers(env.display)) return {"xcb", false};
    return {"", true};
}

std::string nativeWaylandNotice(const std::string& program) {
    return program +
           ": running as a native Wayland window: Stay on top and the stored window position"
           " are not available without XWayland.\n";
}

std::string noLockMessage(const std::string& program, unsigned userId) {
    return program + ": neither XDG_RUNTIME_DIR nor /tmp/corvalo-" + std::to_string(userId) +
           " is a folder of this user alone; starting without the single-instance lock.\n";
}

}  // namespace corvalo::shell
