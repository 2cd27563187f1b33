// Help: the file beside the program or the exact message, the help file's
// topics and links, and the help window.
#include "shell/help.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/help_engine.h"
#include "platform/help_topics.h"
#include "platform/qt/help_viewer.h"
#include "support/temp_dir.h"

namespace corvalo::testing {
namespace {

namespace fs = std::filesystem;

fs::path shippedHelpFile() {
    return fs::path(__FILE__).parent_path().parent_path().parent_path() / "assets" / "help" /
           "CORVALO.HLP";
}

class RecordingHelp final : public platform::HelpEngine {
public:
    std::vector<std::string> calls;
    bool contentsWorks = true;
    bool ShowContents(const std::string& file) override {
        calls.push_back("contents " + file);
        return contentsWorks;
    }
    bool ShowTopic(const std::string& file, const std::string& topic) override {
        calls.push_back("topic " + topic + " " + file);
        return true;
    }
};

TEST(Help, MissingFileGivesTheExactMessage) {
    const struct {
        const char* name;
        void (*prepare)(const fs::path& folder);
    } rows[] = {
        {"nothing there", [](const fs::path&) {}},
        {"only in lower case", [](const fs::path& d) { WriteFile(d / "corvalo.hlp", "x"); }},
        {"a folder of that name", [](const fs::path& d) { fs::create_directory(d / "CORVALO.HLP"); }},
        {"a dangling link", [](const fs::path& d) {
             fs::create_symlink(d / "gone", d / "CORVALO.HLP");
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir folder;
        row.prepare(folder.path());
        RecordingDialogs dialogs;
        RecordingHelp help;
        std::string helpFile = "/earlier/CORVALO.HLP";
        EXPECT_FALSE(shell::menuHelpHelpClick(folder.path().string(), helpFile, dialogs, help));
        EXPECT_EQ(dialogs.messages,
                  std::vector<std::string>{"  Unable to locate file:   \r\n   CORVALO.HLP"});
        EXPECT_EQ(helpFile, "/earlier/CORVALO.HLP");
        EXPECT_TRUE(help.calls.empty());
    }
}

TEST(Help, OpensAtContents) {
    TempDir folder;
    WriteFile(folder / "CORVALO.HLP", "<h1 id=\"Contents\">C</h1>");
    const std::string path = (folder / "CORVALO.HLP").string();
    for (bool contentsWorks : {true, false}) {
        SCOPED_TRACE(contentsWorks ? "contents shown" : "contents failed");
        RecordingDialogs dialogs;
        RecordingHelp help;
        help.contentsWorks = contentsWorks;
        std::string helpFile;
        EXPECT_EQ(shell::menuHelpHelpClick(folder.path().string() + "/", helpFile, dialogs, help),
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
    const platform::HelpBook book = platform::ParseHelpBook(html);
    EXPECT_EQ(book.Style, "h1 { color: red; }");
    ASSERT_EQ(book.Topics.size(), 2u);
    EXPECT_EQ(book.Topics[0].Name, "Contents");
    EXPECT_EQ(book.Topics[0].Title, "Corvalo Help");
    EXPECT_EQ(book.Topics[0].Html,
              "<h1 id=\"Contents\">Corvalo <i>Help</i></h1><p><a href=\"#Grid\">grid</a></p>");
    EXPECT_EQ(book.Topics[1].Html, "<h1 id=\"Grid\">The grid</h1><p>cells</p>");
    EXPECT_EQ(book.Find("grid"), &book.Topics[1]);
    EXPECT_EQ(book.Find("Fonts"), nullptr);
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
        EXPECT_EQ(platform::ParseHelpBook(row.html).Topics.size(), row.topics);
    }
}

// Every topic of the shipped help is reachable from Contents and every link lands.
TEST(HelpBook, ShippedHelpIsWhole) {
    const std::string html = ReadFile(shippedHelpFile());
    const platform::HelpBook book = platform::ParseHelpBook(html);
    ASSERT_GE(book.Topics.size(), 10u);
    EXPECT_EQ(book.Topics.front().Name, "Contents");
    std::set<std::string> reached{"Contents"};
    std::vector<std::string> todo{"Contents"};
    while (!todo.empty()) {
        const platform::HelpTopic* topic = book.Find(todo.back());
        todo.pop_back();
        ASSERT_NE(topic, nullptr);
        for (size_t at = topic->Html.find("href=\"#"); at != std::string::npos;
             at = topic->Html.find("href=\"#", at + 1)) {
            const size_t from = at + 7;
            const std::string target = topic->Html.substr(from, topic->Html.find('"', from) - from);
            SCOPED_TRACE(topic->Name + " -> " + target);
            ASSERT_NE(book.Find(target), nullptr);
            if (reached.insert(target).second) todo.push_back(target);
        }
    }
    EXPECT_EQ(reached.size(), book.Topics.size());
}

TEST(HelpViewer, OpensContentsFollowsLinksAndGoesBack) {
    platform::QtHelpEngine engine;
    const std::string file = shippedHelpFile().string();
    ASSERT_TRUE(engine.ShowContents(file));
    platform::HelpViewer& viewer = *engine.Viewer();
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Contents"));
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("Calculate Clipboard")));
    EXPECT_FALSE(viewer.btnBack->isEnabled());

    emit viewer.Browser()->anchorClicked(QUrl(QStringLiteral("#Grid")));
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Grid"));
    EXPECT_TRUE(viewer.Browser()->toPlainText().contains(QStringLiteral("white")));
    viewer.btnBack->click();
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Contents"));
    viewer.btnForward->click();
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Grid"));
    viewer.btnContents->click();
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Contents"));

    EXPECT_TRUE(engine.ShowTopic(file, "Fonts"));
    EXPECT_FALSE(engine.ShowTopic(file, "NoSuchTopic"));
    EXPECT_EQ(viewer.CurrentTopic(), QStringLiteral("Fonts"));
}

TEST(HelpViewer, UnreadableFiles) {
    TempDir dir;
    WriteFile(dir / "empty.hlp", "");
    WriteFile(dir / "plain.hlp", "just some text");
    for (const char* name : {"missing.hlp", "empty.hlp", "plain.hlp"}) {
        SCOPED_TRACE(name);
        platform::QtHelpEngine engine;
        EXPECT_FALSE(engine.ShowContents((dir / name).string()));
    }
}

}  // namespace
}  // namespace corvalo::testing
