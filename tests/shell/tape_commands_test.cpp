#include "shell/tape_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes.h"
#include "platform/error.h"
#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

using namespace corvalo::testing;

// Two lines as the tape writes them: 8-bit, LF between, none after; 0xA0 groups thousands.
const std::string kTape =
    "   1\xA0"
    "250.5 +\n      12 *";
const std::string kTapeUtf8 =
    "   1\xC2\xA0"
    "250.5 +\n      12 *";

TEST(CopyTape, PutsTheLinesOnTheClipboardAsUtf8) {
    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    copyTape(kTape, clipboard, dialogs);
    EXPECT_EQ(clipboard.contents, kTapeUtf8);
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST(CopyTape, AnEmptyTapeBeepsAndLeavesTheClipboard) {
    FakeClipboard clipboard;
    clipboard.contents = "earlier";
    RecordingDialogs dialogs;
    copyTape("", clipboard, dialogs);
    EXPECT_EQ(clipboard.contents, "earlier");
    EXPECT_EQ(clipboard.writes, 0);
    EXPECT_EQ(dialogs.beeps, 1);
}

class SaveTape : public ::testing::Test {
  protected:
    TempDir dir_;
    RecordingDialogs dialogs_;
};

TEST_F(SaveTape, WritesUtf8LinesEachEndingInLf) {
    const auto file = dir_ / "tape.txt";
    writeFile(file, "an older, longer tape\n\n\n");
    dialogs_.saveAnswer = file.string();
    saveTape(kTape, dialogs_);
    EXPECT_EQ(dialogs_.saveAsked, std::vector<std::string>{"Save Tape|tape.txt"});
    EXPECT_EQ(readFile(file), kTapeUtf8 + "\n");
}

TEST_F(SaveTape, CancelWritesNothing) {
    saveTape(kTape, dialogs_);  // no answer: Cancel
    EXPECT_EQ(dialogs_.saveAsked.size(), 1u);
    EXPECT_TRUE(fileNames(dir_.path()).empty());
}

TEST_F(SaveTape, AnEmptyTapeBeepsWithoutAsking) {
    dialogs_.saveAnswer = (dir_ / "tape.txt").string();
    saveTape("", dialogs_);
    EXPECT_EQ(dialogs_.beeps, 1);
    EXPECT_TRUE(dialogs_.saveAsked.empty());
    EXPECT_TRUE(fileNames(dir_.path()).empty());
}

TEST_F(SaveTape, ARefusedWriteThrowsTheErrorReportText) {
    const std::string path = (dir_ / "no such folder" / "tape.txt").string();
    dialogs_.saveAnswer = path;
    try {
        saveTape(kTape, dialogs_);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
}

}  // namespace
}  // namespace corvalo::shell
