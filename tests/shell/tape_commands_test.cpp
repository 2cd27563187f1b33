#include "shell/tape_commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "platform/error.h"
#include "support/temp_dir.h"

namespace corvalo::shell {
namespace {

using namespace corvalo::testing;

// Two lines as the tape writes them: 8-bit, LF between, none after; 0xA0 groups thousands.
const std::string kTape = "   1\240250.5 +\n      12 *";  // octal 240: 0xA0
const std::string kTapeUtf8 = "   1\302\240250.5 +\n      12 *";

TEST(CopyTape, PutsTheLinesOnTheClipboardAsUtf8AndAnEmptyTapeOnlyBeeps) {
    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    copyTape(kTape, clipboard, dialogs);
    copyTape("", clipboard, dialogs);
    EXPECT_EQ(clipboard.contents, kTapeUtf8);
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(dialogs.beeps, 1);
}

// The file is named in the save dialog; an older, longer file is replaced.
TEST(SaveTape, WritesUtf8LinesEachEndingInLfOrNothingOrTheError) {
    const struct {
        const char* name;
        std::string tape;
        std::optional<std::string> answer;  // the dialog's; nothing: Cancel
        std::vector<std::string> asked;
        std::string written;  // empty: no file
        std::string error;
    } rows[] = {
        {"a tape", kTape, "tape.txt", {"Save Tape|tape.txt"}, kTapeUtf8 + "\n", ""},
        {"cancelled", kTape, std::nullopt, {"Save Tape|tape.txt"}, "", ""},
        {"an empty tape beeps without asking", "", "tape.txt", {}, "", ""},
        {"a refused write",
         kTape,
         "no such folder/tape.txt",
         {"Save Tape|tape.txt"},
         "",
         "Unable to write to "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        RecordingDialogs dialogs;
        const auto file = dir / "tape.txt";
        if (row.answer) dialogs.saveAnswer = (dir / *row.answer).string();
        if (!row.written.empty()) writeFile(file, "an older, longer tape\n\n\n");
        std::string error;
        try {
            saveTape(row.tape, dialogs);
        } catch (const Error& e) {
            error = e.what();
        }
        EXPECT_EQ(dialogs.saveAsked, row.asked);
        EXPECT_EQ(dialogs.beeps, row.tape.empty() ? 1 : 0);
        EXPECT_EQ(error, row.error.empty() ? "" : row.error + *dialogs.saveAnswer);
        EXPECT_EQ(fileNames(dir.path()).empty() ? "" : readFile(file), row.written);
    }
}

}  // namespace
}  // namespace corvalo::shell
