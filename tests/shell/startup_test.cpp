#include "shell/startup.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

const std::string kNoDisplay =
    "corvalo: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
    "Start it from a desktop session, or under Xvfb for a machine without a screen.\n";
const std::string kNo7 = "corvalo: cannot open display :7\n";
const std::string kNoWl = "corvalo: cannot open display wayland-0\n";
const std::string kRun = "/run/user/0";
const std::string kWl = "wayland-0";

// What the start makes of each environment: the problem that ends it, else the Qt
// platform it asks for and whether it runs as a native Wayland window.
TEST(Startup, ChoosesTheDisplayFromTheEnvironmentAndWhatAnswers) {
    const struct {
        const char* name;
        DisplayEnvironment env;
        bool x;
        bool wayland;
        std::string problem;
        DisplayChoice choice;
    } rows[] = {
        {"X only", {":0", "", "", ""}, true, false, "", {"", false}},
        {"X without a server", {":7", "", "", ""}, false, false, kNo7, {"", false}},
        {"nothing set", {"", "", "", kRun}, false, false, kNoDisplay, {"", false}},
        {"Wayland only", {"", kWl, "", kRun}, false, true, "", {"", true}},
        {"Wayland and an answering X", {":0", kWl, "", kRun}, true, true, "", {"xcb", false}},
        {"Wayland and a silent X", {":7", kWl, "", kRun}, false, true, "", {"", true}},
        {"silent Wayland, X answers", {":0", kWl, "", kRun}, true, false, "", {"xcb", false}},
        {"silent Wayland, no X", {"", kWl, "", kRun}, false, false, kNoWl, {"", true}},
        {"silent Wayland and X", {":7", kWl, "", kRun}, false, false, kNo7, {"", true}},
        {"user's own offscreen", {"", "", "offscreen", ""}, false, false, "", {"", false}},
        {"user's own wayland", {":0", kWl, "wayland", kRun}, true, true, "", {"", true}},
        {"user's own xcb over Wayland", {":7", kWl, "xcb", kRun}, false, true, kNo7, {"", false}},
        {"control characters shown as ?",
         {":7\x1b[2J\n", "", "", ""},
         false,
         false,
         "corvalo: cannot open display :7?[2J?\n",
         {"", false}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const DisplayProbes probes{[&](const std::string&) { return row.x; },
                                   [&](const std::string&) { return row.wayland; }};
        EXPECT_EQ(displayProblem(row.env, probes, "corvalo"), row.problem);
        const DisplayChoice choice = chooseDisplay(row.env, probes);
        EXPECT_EQ(choice.platform, row.choice.platform);
        EXPECT_EQ(choice.nativeWayland, row.choice.nativeWayland);
    }
}

TEST(DisplayProblem, WaylandSocketIsLookedForInTheRuntimeFolder) {
    const struct {
        const char* name;
        DisplayEnvironment env;
        std::vector<std::string> asked;
    } rows[] = {
        {"name in the runtime folder",
         {"", "wayland-1", "", "/run/user/5"},
         {"wayland /run/user/5/wayland-1"}},
        {"absolute socket path", {"", "/tmp/w/sock", "", "/run/user/5"}, {"wayland /tmp/w/sock"}},
        {"X only", {":3", "", "", "/run/user/5"}, {"x :3"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> asked;
        const DisplayProbes probes{[&](const std::string& d) {
                                       asked.push_back("x " + d);
                                       return true;
                                   },
                                   [&](const std::string& path) {
                                       asked.push_back("wayland " + path);
                                       return true;
                                   }};
        displayProblem(row.env, probes, "corvalo");
        EXPECT_EQ(asked, row.asked);
    }
}

// A display number that no server uses: its socket is absent.
std::string unusedDisplay() {
    for (int n = 4711; n < 4811; ++n) {
        if (::access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) != 0) {
            return ":" + std::to_string(n);
        }
    }
    return "";
}

TEST(SystemDisplayProbes, AnXDisplayWithoutAServerDoesNotAnswer) {
    const std::string display = unusedDisplay();
    ASSERT_FALSE(display.empty());
    EXPECT_FALSE(systemDisplayProbes().x11Answers(display));
}

TEST(SystemDisplayProbes, AWaylandSocketAnswersWhenSomethingListens) {
    testing::TempDir dir;
    const std::string path = (dir / "wayland-9").string();
    EXPECT_FALSE(systemDisplayProbes().waylandAnswers(path));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    EXPECT_TRUE(systemDisplayProbes().waylandAnswers(path));
    ::close(listener);
    EXPECT_FALSE(systemDisplayProbes().waylandAnswers(std::string(200, 'x')));
}

}  // namespace
}  // namespace corvalo::shell
