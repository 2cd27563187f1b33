// Help: the file beside the program or the exact message, and the help window.
#include "shell/help.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRect>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/qt/help_viewer.h"
#include "support/temp_dir.h"

namespace corvalo::testing {
namespace {

namespace fs = std::filesystem;

// Opening at Contents is pinned by the window's F1 test.
TEST(Help, OpensOnlyARegularFileBesideTheProgramElseGivesTheExactMessage) {
    const std::string kMissing = "  Unable to locate file:   \r\n   CORVALO.HLP";
    const std::pair<const char*, void (*)(const fs::path& file)> rows[] = {
        {"nothing there", [](const fs::path&) {}},
        {"a dangling link",
         [](const fs::path& f) { fs::create_symlink(f.string() + "-gone", f); }},
        {"contents failed", [](const fs::path& f) { writeFile(f, "<h1>C</h1>"); }},
    };
    for (const auto& [name, prepare] : rows) {
        SCOPED_TRACE(name);
        TempDir folder;
        const std::string path = (folder / "CORVALO.HLP").string();
        prepare(path);
        const bool found = fs::is_regular_file(path);
        RecordingDialogs dialogs;
        FakeHelpEngine help;
        help.contentsWorks = false;
        std::string helpFile = "/earlier/CORVALO.HLP";
        EXPECT_FALSE(shell::showHelp(folder.path().string(), helpFile, dialogs, help));
        EXPECT_EQ(dialogs.messages, std::vector<std::string>(found ? 0 : 1, kMissing));
        EXPECT_EQ(helpFile, found ? path : "/earlier/CORVALO.HLP");
        EXPECT_EQ(help.calls, std::vector<std::string>(found ? 1 : 0, "contents " + path));
    }
}

// A help file beside the program is outside input: one without a whole topic is refused;
// the last topic runs to the end when the body has none. A link (names match in any
// case), Back, and Esc, after which the window comes back where the user left it.
TEST(HelpViewer, TopicsLinksBackAndEscKeepsPlaceAndSize) {
    TempDir dir;
    for (const char* damaged : {"just some text", "<h1 id=\"Contents", "<h1 id=\"A\">A"}) {
        writeFile(dir / "damaged.hlp", damaged);
        EXPECT_FALSE(platform::QtHelpEngine().showContents((dir / "damaged.hlp").string()))
            << damaged;
    }
    writeFile(dir / "corvalo.hlp",
              "<html><head><style>h1 { color: red; }</style></head><body><p>not shown</p>"
              "<h1 id=\"Contents\">Corvalo <i>Help</i></h1><a href=\"#grid\">see</a>"
              "<h1 id=\"Grid\">The grid</h1><p>cells</p>");
    const std::string file = (dir / "corvalo.hlp").string();
    platform::QtHelpEngine engine;
    ASSERT_TRUE(engine.showContents(file));
    platform::HelpViewer& viewer = *engine.viewer();
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Corvalo Help - Corvalo Help"));
    EXPECT_EQ(viewer.browser()->toPlainText(), QStringLiteral("Corvalo Help\nsee"));
    emit viewer.browser()->anchorClicked(QUrl(QStringLiteral("#grid")));
    EXPECT_EQ(viewer.browser()->toPlainText(), QStringLiteral("The grid\ncells"));
    viewer.btnBack->click();
    EXPECT_EQ(viewer.currentTopic(), QStringLiteral("Contents"));
    const QRect moved(viewer.x() + 37, viewer.y() + 23, 517, 409);
    viewer.setGeometry(moved);
    // Esc where the focus usually is: the text, which passes the key on.
    QTest::keyClick(viewer.browser(), Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
    ASSERT_TRUE(engine.showContents(file));
    EXPECT_EQ(viewer.geometry(), moved);
}

}  // namespace
}  // namespace corvalo::testing
