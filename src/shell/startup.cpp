#include "shell/startup.h"

namespace corvalo::shell {

namespace {

bool isSet(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

bool displayAvailable(const char* display, const char* waylandDisplay, const char* qpaPlatform) {
    return isSet(display) || isSet(waylandDisplay) || isSet(qpaPlatform);
}

std::string noDisplayMessage(const std::string& program) {
    return program +
           ": no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
           "Start it from a desktop session, or under Xvfb for a machine without a screen.\n";
}

}  // namespace corvalo::shell
