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

TEST(Help, MissingFileGivesTheExactMessage) {
    const struct {
        const char* name;
        void (*prepare)(const fs::path& folder);
    } rows[] = {
        {"nothing there", [](const fs::path&) {}},
        {"only in lower case", [](const fs::path& d) { writeFile(d / "corvalo.hlp", "x"); }},
        {"a folder of that name",
         [](const fs::path& d) { fs::create_directory(d / "CORVALO.HLP"); }},
        {"a dangling link",
         [](const fs::path& d) { fs::create_symlink(d / "gone", d / "CORVALO.HLP"); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir folder;
        row.prepare(folder.path());
        RecordingDialogs dialogs;
        FakeHelpEngine help;
        std::string helpFile = "/earlier/CORVALO.HLP";
        EXPECT_FALSE(shell::showHelp(folder.path().string(), helpFile, dialogs, help));
        EXPECT_EQ(dialogs.messages,
                  std::vector<std::string>{"  Unable to locate file:   \r\n   CORVALO.HLP"});
        EXPECT_EQ(helpFile, "/earlier/CORVALO.HLP");
        EXPECT_TRUE(help.calls.empty());
    }
}

TEST(Help, OpensAtContents) {
    TempDir folder;
    writeFile(folder / "CORVALO.HLP", "<h1 id=\"Contents\">C</h1>");
    const std::string path = (folder / "CORVALO.HLP").string();
    for (bool contentsWorks : {true, false}) {
        SCOPED_TRACE(contentsWorks ? "contents shown" : "contents failed");
        RecordingDialogs dialogs;
        FakeHelpEngine help;
        help.contentsWorks = contentsWorks;
        std::string helpFile;
        EXPECT_EQ(shell::showHelp(folder.path().string() + "/", helpFile, dialogs, help),
                  contentsWorks);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(helpFile, path);
        std::vector<std::string> want{"contents " + path};
        if (contentsWorks) want.push_back("topic Contents " + path);
        EXPECT_EQ(help.calls, want);
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
        {"empty", "", 0},
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
    const std::string html = readFile(shippedHelpFile());
    const platform::HelpBook book = platform::parseHelpBook(html);
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

TEST(HelpViewer, OpensContentsFollowsLinksAndGoesBack) {
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
}

TEST(HelpViewer, EscClosesAndReopeningKeepsPlaceAndSize) {
    platform::QtHelpEngine engine;
    const std::string file = shippedHelpFile().string();
    ASSERT_TRUE(engine.showContents(file));
    platform::HelpViewer& viewer = *engine.viewer();
    const QRect left(viewer.x() + 37, viewer.y() + 23, 517, 409);
    viewer.setGeometry(left);
    // Esc where the focus usually is: the text, which passes the key on.
    QTest::keyClick(viewer.browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());

    ASSERT_TRUE(engine.showContents(file));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.geometry(), left);
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
