// Help > Check for latest version on the main window, against HTTP servers on
// 127.0.0.1 started here; the waits run through a fake event pump. The replies'
// messages are pinned in the version check's own tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QStackedWidget>
#include <QTest>
#include <atomic>
#include <string>
#include <vector>

#include "net/loopback_server.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using ::testing::StartsWith;

const std::string kSame =
    " There is no new version available.\r\n You currently have the latest version. ";

// Holds the reply back until the test lets it go.
LoopbackServer::Script replyWhen(const std::atomic<bool>& go, std::string reply) {
    return [&go, reply](ServerConnection& c, int) {
        c.readRequest();
        go.wait(false);
        c.send(reply);
    };
}

void release(std::atomic<bool>& go) {
    go = true;
    go.notify_all();
}

class VersionCheckWindowTest : public WindowFixture {
  protected:
    VersionCheckWindowTest() { versionCheck.updateHost = "updates.example"; }
    void proxy(const std::string& host, const std::string& port) {
        settings.onLoad = [host, port](const shell::SettingsTargets& t) {
            t.shell.proxy = host;
            t.shell.proxyPort = port;
        };
    }
    void check() { trigger("actionCheckVersion"); }
};

// The proxy of the settings file carries the request; the reply's message reaches the box.
TEST_F(VersionCheckWindowTest, AsksThroughTheStoredProxyAndShowsTheMessage) {
    LoopbackServer server(respond(httpReply("200 OK", "", "1.01\r\n")));
    proxy("127.0.0.1", std::to_string(server.port()));
    start();
    check();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSame});
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_THAT(server.requests()[0],
                StartsWith("GET http://updates.example/versions/corvalo.htm HTTP/1.0\r\n"));
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(VersionCheckWindowTest, TheWindowAnswersWhileTheCheckWaitsAndIgnoresTheCommandAgain) {
    std::atomic<bool> go{false};
    LoopbackServer server(replyWhen(go, httpReply("200 OK", "", "1.01")), 2);
    proxy("127.0.0.1", std::to_string(server.port()));
    start();
    pump.onPass = [&] {
        if (pump.passes != 3) return;
        // Events that arrive while the request waits.
        check();
        QTest::keyClick(window.get(), Qt::Key_F9);
        release(go);
    };
    check();
    release(go);  // also when the wait ended early, so the server can stop
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(),
              shell::indexOf(shell::Page::Calculator));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSame});
    EXPECT_EQ(server.connections(), 1);

    pump.onPass = nullptr;
    check();  // once the first has ended, the command runs again
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kSame, kSame}));
    EXPECT_EQ(server.connections(), 2);
}

// The close waits until the check has unwound; a refused write then keeps the window.
TEST_F(VersionCheckWindowTest, CloseDuringTheWaitCancelsAndClosesOnceUnwound) {
    for (const bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "write refused" : "write done");
        LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
        proxy("127.0.0.1", std::to_string(silent.port()));
        start();
        settings.saves = 0;
        settings.refuse = refuse;
        bool closedInside = true;
        pump.onPass = [&] {
            if (pump.passes == 3) closedInside = window->close();
        };
        check();
        EXPECT_FALSE(closedInside);
        EXPECT_EQ(window->isVisible(), refuse);
        EXPECT_FALSE(window->versionChecker().running());
        EXPECT_EQ(settings.saves, refuse ? 0 : 1);
        EXPECT_EQ(dialogs.errors.size(), refuse ? 1u : 0u);
        EXPECT_TRUE(dialogs.messages.empty());
        pump.onPass = nullptr;
        pump.passes = 0;
    }
}

}  // namespace
}  // namespace corvalo::testing
