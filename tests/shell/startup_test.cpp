#include "shell/startup.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

const std::string kNoDisplay =
    "corvalo: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
    "Start it from a desktop session, or under Xvfb for a machine without a screen.\n";
const std::string kNo7 = "corvalo: cannot open display :7\n";
const std::string kRun = "/run/user/0";
const std::string kWl = "wayland-0";
const std::string kNoWl = "corvalo: cannot open display wayland-0\n";

// What the start makes of each environment: the problem that ends it, else the Qt
// platform it asks for and whether it runs as a native Wayland window. A Wayland
// server answers only at the socket's place: in the runtime folder, or named whole.
TEST(Startup, ChoosesTheDisplayFromTheEnvironmentAndWhatAnswers) {
    const struct {
        const char* name;
        DisplayEnvironment env;
        bool x;
        bool wayland;
        std::string problem;
        const char* choice;  // the platform asked for, "native" for a native Wayland window
    } rows[] = {
        {"X without a server", {":7", "", "", ""}, false, false, kNo7, ""},
        {"nothing set", {"", "", "", kRun}, false, false, kNoDisplay, ""},
        {"Wayland only", {"", kWl, "", kRun}, false, true, "", "native"},
        {"Wayland by its socket's path", {"", "/w/0", "", kRun}, false, true, "", "native"},
        {"Wayland and an answering X", {":0", kWl, "", kRun}, true, true, "", "xcb"},
        {"Wayland and a silent X", {":7", kWl, "", kRun}, false, true, "", "native"},
        {"silent Wayland, X answers", {":0", kWl, "", kRun}, true, false, "", "xcb"},
        {"silent Wayland, no X", {"", kWl, "", kRun}, false, false, kNoWl, "native"},
        {"user's own offscreen", {"", "", "offscreen", ""}, false, false, "", ""},
        {"user's own wayland", {":0", kWl, "wayland", kRun}, true, true, "", "native"},
        {"user's own xcb over Wayland", {":7", kWl, "xcb", kRun}, false, true, kNo7, ""},
        {"control characters shown as ?",
         {":7\x1b[2J\n", "", "", ""},
         false,
         false,
         "corvalo: cannot open display :7?[2J?\n",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const DisplayProbes probes{[&](const std::string&) { return row.x; },
                                   [&](const std::string& path) {
                                       return row.wayland &&
                                              (path == kRun + "/" + kWl || path == "/w/0");
                                   }};
        EXPECT_EQ(displayProblem(row.env, probes, "corvalo"), row.problem);
        const DisplayChoice choice = chooseDisplay(row.env, probes);
        EXPECT_EQ(choice.platform + (choice.nativeWayland ? "native" : ""), row.choice);
    }
}

// The real Wayland probe: a socket before and while something listens on it, and a
// path too long for a socket. The X probe is run by the no-display end-to-end test.
TEST(Startup, WaylandProbeAnswersOnlyWhereAServerListens) {
    testing::TempDir dir;
    const std::string path = (dir / "wayland-9").string();
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    EXPECT_FALSE(systemDisplayProbes().waylandAnswers(path));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    EXPECT_TRUE(systemDisplayProbes().waylandAnswers(path));
    ::close(listener);
    EXPECT_FALSE(systemDisplayProbes().waylandAnswers(std::string(200, 'x')));
}

}  // namespace
}  // namespace corvalo::shell
