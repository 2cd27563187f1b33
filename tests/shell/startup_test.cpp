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

TEST(DisplayProblem, SaysWhichDisplayCannotBeOpened) {
    const struct {
        const char* name;
        DisplayEnvironment env;
        bool xAnswers;
        bool waylandAnswers;
        std::string problem;
    } rows[] = {
        {"X display answers", {":0", "", "", ""}, true, false, ""},
        {"X display without a server",
         {":7", "", "", ""},
         false,
         false,
         "corvalo: cannot open display :7\n"},
        {"nothing set", {"", "", "", "/run/user/0"}, false, false, kNoDisplay},
        {"Wayland answers, X would not", {":7", "wayland-0", "", "/run/user/0"}, false, true, ""},
        {"Wayland silent, X answers", {":0", "wayland-0", "", "/run/user/0"}, true, false, ""},
        {"Wayland silent, no X",
         {"", "wayland-0", "", "/run/user/0"},
         false,
         false,
         "corvalo: cannot open display wayland-0\n"},
        {"Wayland silent, X without a server",
         {":7", "wayland-0", "", "/run/user/0"},
         false,
         false,
         "corvalo: cannot open display :7\n"},
        {"platform chosen by hand", {"", "", "offscreen", ""}, false, false, ""},
        {"xcb chosen by hand over Wayland",
         {":7", "wayland-0", "xcb", "/run/user/0"},
         false,
         true,
         "corvalo: cannot open display :7\n"},
        {"control characters shown as ?",
         {":7\x1b[2J\n", "", "", ""},
         false,
         false,
         "corvalo: cannot open display :7?[2J?\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const DisplayProbes probes{[&](const std::string&) { return row.xAnswers; },
                                   [&](const std::string&) { return row.waylandAnswers; }};
        EXPECT_EQ(displayProblem(row.env, probes, "corvalo"), row.problem);
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
