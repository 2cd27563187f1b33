// Help: the file beside the program or the exact message, the help file's
// topics and links, and the help window.
#include "shell/help.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRect>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/help_topics.h"
#include "platform/qt/help_viewer.h"
#include "support/temp_dir.h"

namespace corvalo::testing {
namespace {

namespace fs = std::filesystem;

// Not from __FILE__: ccache's base_dir makes that relative to the build folder.
fs::path shippedHelpFile() {
    return fs::path(CORVALO_SOURCE_DIR) / "assets" / "help" / "CORVALO.HLP";
}

TEST(Help, OpensTheFileBesideTheProgramElseGivesTheExactMessage) {
    const std::string kMissing = "  Unable to locate file:   \r\n   CORVALO.HLP";
    const auto file = [](const fs::path& d) { writeFile(d / "CORVALO.HLP", "<h1>C</h1>"); };
    const struct {
        const char* name;
        void (*prepare)(const fs::path& folder);
        bool contentsWorks;
        bool shown;
    } rows[] = {
        {"nothing there", [](const fs::path&) {}, true, false},
        {"only in lower case", [](const fs::path& d) { writeFile(d / "corvalo.hlp", "x"); }, true,
         false},
        {"a folder of that name",
         [](const fs::path& d) { fs::create_directory(d / "CORVALO.HLP"); }, true, false},
        {"a dangling link",
         [](const fs::path& d) { fs::create_symlink(d / "gone", d / "CORVALO.HLP"); }, true,
         false},
        {"opened at Contents", file, true, true},
        {"contents failed", file, false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir folder;
        row.prepare(folder.path());
        const bool found = fs::is_regular_file(folder / "CORVALO.HLP");
        const std::string path = (folder / "CORVALO.HLP").string();
        RecordingDialogs dialogs;
        FakeHelpEngine help;
        help.contentsWorks = row.contentsWorks;
        std::string helpFile = "/earlier/CORVALO.HLP";
        EXPECT_EQ(shell::showHelp(folder.path().string(), helpFile, dialogs, help), row.shown);
        EXPECT_EQ(dialogs.messages,
                  found ? std::vector<std::string>{} : std::vector<std::string>{kMissing});
        EXPECT_EQ(helpFile, found ? path : "/earlier/CORVALO.HLP");
        std::vector<std::string> calls;
        if (found) calls.push_back("contents " + path);
        if (row.shown) calls.push_back("topic Contents " + path);
        EXPECT_EQ(help.calls, calls);
    }
}

TEST(HelpBook, SplitsTopics) {
    const std::string html =
        "<html><head><style>h1 { color: red; }</style></head><body>"
        "<p>not shown</p>"
        "<h1 id=\"Contents\">Corvalo <i>Help</i></h1><p><a href=\"#Grid\">grid</a></p>"
        "<h1 id=\"Grid\">The grid</h1><p>cells</p>"
        "</body></html>";
    const platform::HelpBook book = platform::parseHelpBook(html);
    EXPECT_EQ(book.style, "h1 { color: red; }");
    ASSERT_EQ(book.topics.size(), 2u);
    EXPECT_EQ(book.topics[0].name, "Contents");
    EXPECT_EQ(book.topics[0].title, "Corvalo Help");
    EXPECT_EQ(book.topics[0].html,
              "<h1 id=\"Contents\">Corvalo <i>Help</i></h1><p><a href=\"#Grid\">grid</a></p>");
    EXPECT_EQ(book.topics[1].html, "<h1 id=\"Grid\">The grid</h1><p>cells</p>");
    EXPECT_EQ(book.find("grid"), &book.topics[1]);
    EXPECT_EQ(book.find("Fonts"), nullptr);
}

TEST(HelpBook, DamagedFiles) {
    const struct {
        const char* name;
        const char* html;
        size_t topics;
    } rows[] = {
        {"no topics", "<html><body><p>hello</p></body></html>", 0},
        {"unclosed id", "<h1 id=\"Contents", 0},
        {"unclosed heading", "<h1 id=\"Contents\">Contents", 0},
        {"no body end", "<h1 id=\"A\">A</h1>text", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(platform::parseHelpBook(row.html).topics.size(), row.topics);
    }
}

// Every topic of the shipped help is reachable from Contents and every link lands.
TEST(HelpBook, ShippedHelpIsWhole) {
    const platform::HelpBook book = platform::parseHelpBook(readFile(shippedHelpFile()));
    ASSERT_GE(book.topics.size(), 10u);
    EXPECT_EQ(book.topics.front().name, "Contents");
    std::set<std::string> reached{"Contents"};
    std::vector<std::string> todo{"Contents"};
    while (!todo.empty()) {
        const platform::HelpTopic* topic = book.find(todo.back());
        todo.pop_back();
        ASSERT_NE(topic, nullptr);
        for (size_t at = topic->html.find("href=\"#"); at != std::string::npos;
             at = topic->html.find("href=\"#", at + 1)) {
            const size_t from = at + 7;
            const std::string target =
                topic->html.substr(from, topic->html.find('"', from) - from);
            SCOPED_TRACE(topic->name + " -> " + target);
            ASSERT_NE(book.find(target), nullptr);
            if (reached.insert(target).second) todo.push_back(target);
        }
    }
    EXPECT_EQ(reached.size(), book.topics.size());
}

TEST(HelpViewer, FollowsLinksGoesBackAndEscKeepsPlaceAndSize) {
    platform::QtHelpEngine engine;
    const std::string file = shippedHelpFile().string();
    ASSERT_TRUE(engine.showContents(file));
    platform::HelpViewer& viewer = *engine.viewer();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Contents"));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("Calculate Clipboard")));
    EXPECT_FALSE(viewer.btnBack->isEnabled());

    emit viewer.browser()->anchorClicked(QUrl(QStringLiteral("#Grid")));
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Grid"));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("white")));
    viewer.btnBack->click();
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Contents"));
    viewer.btnForward->click();
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Grid"));
    viewer.btnContents->click();
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Contents"));
    EXPECT_TRUE(engine.showTopic(file, "Fonts"));
    EXPECT_FALSE(engine.showTopic(file, "NoSuchTopic"));
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Fonts"));

    const QRect moved(viewer.x() + 37, viewer.y() + 23, 517, 409);
    viewer.setGeometry(moved);
    // Esc where the focus usually is: the text, which passes the key on.
    QTest::keyClick(viewer.browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
    ASSERT_TRUE(engine.showContents(file));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.geometry(), moved);
}

TEST(HelpViewer, UnreadableFiles) {
    TempDir dir;
    writeFile(dir / "empty.hlp", "");
    writeFile(dir / "plain.hlp", "just some text");
    for (const char* name : {"missing.hlp", "empty.hlp", "plain.hlp"}) {
        SCOPED_TRACE(name);
        platform::QtHelpEngine engine;
        EXPECT_FALSE(engine.showContents((dir / name).string()));
    }
}

}  // namespace
}  // namespace corvalo::testing
