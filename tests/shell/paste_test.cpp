// A paste on the grid page: the wait cursor while a large text is calculated, and
// the timing lines that CORVALO_TIMING=1 asks for.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "fakes.h"
#include "platform/error.h"
#include "shell/event_timing.h"
#include "shell/grid_page.h"

namespace corvalo::testing {
namespace {

constexpr std::size_t kMB = 1024 * 1024;
using Cursor = std::optional<Qt::CursorShape>;

Cursor overrideCursor() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor == nullptr ? Cursor() : Cursor(cursor->shape());
}

// Hands its text over in 1 MB pieces and notes the override cursor after each; can
// fail after the last piece as an owner that goes away does.
class RecordingClipboard final : public platform::Clipboard {
  public:
    std::string contents;
    bool failAtEnd = false;
    std::vector<Cursor> cursors;

    std::optional<std::string> text() override { return contents; }
    void setText(const std::string&) override {}
    bool readUtf8(const platform::Utf8Sink& sink) override {
        for (std::size_t at = 0; at < contents.size(); at += kMB) {
            sink(std::string_view(contents).substr(at, kMB));
            cursors.push_back(overrideCursor());
        }
        if (failAtEnd) throw Error("Cannot open clipboard");
        return true;
    }
};

// `lines` copies of `line`, one per row.
std::string column(const std::string& line, std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) text += line;
    return text;
}

TEST(PasteCursor, WaitCursorFromTwoMegabytesUntilTheResultHowEverItEnds) {
    const Cursor wait(Qt::WaitCursor), none;
    const struct {
        const char* name;
        std::string text;
        bool failAtEnd;
        std::vector<Cursor> cursors;  // after each 1 MB piece
        std::string error;
    } rows[] = {
        // 1.25\n is 5 bytes: 419,430 lines and "1\n" are 2 MB, 419,431 lines 2 MB and 3 bytes.
        {"2 MB exactly", column("1.25\n", 419430) + "1\n", false, {none, none}, ""},
        {"just over 2 MB", column("1.25\n", 419431), false, {none, none, wait}, ""},
        {"an owner gone after 3 MB",
         column("1.25\n", 3 * kMB / 5),
         true,
         {none, none, wait},
         "Cannot open clipboard"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clipcalc::CalcState calc;
        calc.setStartValues();
        calc.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;
        clipcalc::Grid grid;
        RecordingDialogs dialogs;
        shell::GridPage page(calc, grid, dialogs);
        RecordingClipboard clipboard;
        clipboard.contents = row.text;
        clipboard.failAtEnd = row.failAtEnd;
        std::string error;
        try {
            page.calculate(clipboard);
        } catch (const Error& e) {
            error = e.what();
        }
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(clipboard.cursors, row.cursors);
        EXPECT_EQ(overrideCursor(), none) << "still shown after the paste";
        while (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::restoreOverrideCursor();  // keeps the next row's start clean
        }
    }
}

// With CORVALO_TIMING=1, and only then, a report is one "paste-ms <milliseconds>" line.
TEST(EventTiming, PrintsOnlyWhenAskedFor) {
    for (const std::string value : {"", "0", "1"}) {
        SCOPED_TRACE(value);
        setenv("CORVALO_TIMING", value.c_str(), 1);
        const shell::EventTiming timing;
        unsetenv("CORVALO_TIMING");
        ::testing::internal::CaptureStderr();
        timing.report("paste-ms");
        const std::string line = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(line.rfind("paste-ms ", 0) == 0 && line.back() == '\n', value == "1") << line;
        EXPECT_EQ(line.empty(), value != "1") << line;
    }
}

}  // namespace
}  // namespace corvalo::testing
