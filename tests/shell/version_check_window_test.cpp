// Help > Check for latest version on the main window, against HTTP servers on
// 127.0.0.1 started here; the waits run through a fake event pump.
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
const std::string kCheckPath = "/versions/corvalo.htm";

std::string newer(const std::string& four) {
    return " A newer version of corvalo exists! (" + four +
           ")\r\n Download link: dl.example/corvalo/install.exe";
}

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

struct ReplyRow {
    const char* name;
    std::string reply;
    std::string message;
};

TEST_F(VersionCheckWindowTest, ShowsTheMessageForTheReplyOfTheProxy) {
    const ReplyRow rows[] = {
        {"same version", httpReply("200 OK", "", "1.01\r\n"), kSame},
        {"newer version", httpReply("200 OK", "", "1.02 with notes"), newer("1.02")},
        {"empty body", httpReply("200 OK", "", ""), newer("")},
        {"not found", httpReply("404 Not Found", "", "gone"),
         "Version request error: Operation Failed."},
        {"closed at once", "", "Version request error: Operation Failed."},
    };
    for (const ReplyRow& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer server(respond(row.reply));
        proxy("127.0.0.1", std::to_string(server.port()));
        dialogs.messages.clear();
        start();
        check();
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{row.message});
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_THAT(server.requests()[0],
                    StartsWith("GET http://updates.example" + kCheckPath + " HTTP/1.0\r\n"));
        EXPECT_TRUE(dialogs.errors.empty());
        window.reset();
    }
}

TEST_F(VersionCheckWindowTest, WithoutAProxyAsksTheUpdateHostForThePath) {
    LoopbackServer server(respond(httpReply("200 OK", "", "1.01")));
    versionCheck.updateHost = server.hostPort();
    start();
    check();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSame});
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_THAT(server.requests()[0], StartsWith("GET " + kCheckPath + " HTTP/1.0\r\n"));
}

TEST_F(VersionCheckWindowTest, ConnectionFailuresShowTheirText) {
    const struct {
        const char* name;
        std::string proxy;
        std::string port;
        std::string message;
    } rows[] = {
        {"refused port", "127.0.0.1", std::to_string(unusedPort()),
         "Version request error: Connection Failed."},
        {"port text not a number", "127.0.0.1", "80a",
         "Version request error: Connection Failed."},
        {"proxy that does not resolve", "proxy.invalid", "8080",
         "Version request error: Invalid Host."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        proxy(row.proxy, row.port);
        dialogs.messages.clear();
        start();
        check();
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{row.message});
        window.reset();
    }
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
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{kSame});
    EXPECT_EQ(server.connections(), 1);

    pump.onPass = nullptr;
    check();  // once the first has ended, the command runs again
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{kSame, kSame}));
    EXPECT_EQ(server.connections(), 2);
}

TEST_F(VersionCheckWindowTest, CloseDuringTheWaitCancelsAndClosesOnceUnwound) {
    LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
    proxy("127.0.0.1", std::to_string(silent.port()));
    start();
    bool closedInside = true;
    bool visibleInside = false;
    pump.onPass = [&] {
        if (pump.passes != 3) return;
        closedInside = window->close();
        visibleInside = window->isVisible();
    };
    check();
    EXPECT_FALSE(closedInside);
    EXPECT_TRUE(visibleInside);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(settings.saves, 1);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(VersionCheckWindowTest, ARefusedSaveAfterTheWaitKeepsTheWindowOpen) {
    LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
    proxy("127.0.0.1", std::to_string(silent.port()));
    start();
    settings.refuse = true;
    pump.onPass = [&] {
        if (pump.passes == 3) window->close();
    };
    check();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Unable to write to /nowhere/corvalo.ini"}));
    EXPECT_FALSE(window->versionChecker().running());
}

}  // namespace
}  // namespace corvalo::testing
