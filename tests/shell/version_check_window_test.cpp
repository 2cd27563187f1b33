// Help > Check for latest version on the main window, against HTTP servers on
// 127.0.0.1 started here; the waits run through a fake event pump. The replies'
// messages and a repeated command are pinned in the version check's own tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "net/loopback_server.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

class VersionCheckWindowTest : public WindowFixture {
  protected:
    VersionCheckWindowTest() { versionCheck.updateHost = "updates.example"; }
    void startWithProxy(const LoopbackServer& server) {
        settings.onLoad = [port = std::to_string(server.port())](const shell::SettingsTargets& t) {
            t.shell.proxy = "127.0.0.1";
            t.shell.proxyPort = port;
        };
        start();
    }
    void check() { trigger("actionCheckVersion"); }
};

// The stored proxy carries the request; the window answers while the reply is held
// back, and the reply's message reaches the box.
TEST_F(VersionCheckWindowTest, AsksThroughTheStoredProxyAndShowsTheMessage) {
    std::atomic<bool> go{false};
    LoopbackServer server([&go](ServerConnection& c, int) {
        c.readRequest();
        go.wait(false);
        c.send(httpReply("200 OK", "", "1.01\r\n"));
    });
    const auto release = [&go] {
        go = true;
        go.notify_all();
    };
    startWithProxy(server);
    pump.onPass = [&] {
        if (pump.passes != 3) return;
        QTest::keyClick(window.get(), Qt::Key_F9);  // an event that arrives meanwhile
        release();
    };
    check();
    release();  // also when the wait ended early, so the server can stop
    EXPECT_EQ(page(), shell::Page::Calculator);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{" There is no new version available."
                                                         "\r\n You currently have the latest "
                                                         "version. "});
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_THAT(server.requests()[0],
                ::testing::StartsWith("GET http://updates.example/versions/corvalo.htm "
                                      "HTTP/1.0\r\n"));
    EXPECT_TRUE(dialogs.errors.empty());
}

// The close waits until the check has unwound, then closes and saves.
TEST_F(VersionCheckWindowTest, CloseDuringTheWaitCancelsAndClosesOnceUnwound) {
    LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
    startWithProxy(silent);
    bool closedInside = true;
    pump.onPass = [&] {
        if (pump.passes == 3) closedInside = window->close();
    };
    check();
    EXPECT_FALSE(closedInside);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->versionChecker().running());
    EXPECT_EQ(settings.saves, 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace corvalo::testing
