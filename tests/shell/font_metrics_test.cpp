// Fonts and the sizes that follow from them: grid metrics at the first showing,
// the three font commands through OK, Apply and Cancel, and the display panel.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "shell/font_command.h"
#include "shell/font_metrics.h"
#include "shell/window_rules.h"

namespace corvalo::testing {
namespace {

using platform::FontSpec;
using shell::FontTarget;

TEST(FontMetrics, FirstShowingGrid) {
    const struct {
        const char* name;
        int editBox;
        shell::GridMetrics want;
    } rows[] = {
        {"default grid font", 22, {18, 64, 18}},       {"edit box 26", 26, {22, 78, 22}},
        {"truncates 19*64/18=67.6", 23, {19, 67, 19}}, {"large font", 58, {54, 192, 54}},
        {"row never below one pixel", 3, {1, 3, 1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shell::firstShowingGridMetrics(row.editBox), row.want);
    }
}

TEST(FontMetrics, ColumnScaling) {
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        const char* name;
        int width, oldRow, newRow, want;
    } rows[] = {
        {"64 at 18 -> 22", 64, 18, 22, 78},
        {"header 18 -> 22", 18, 18, 22, 22},
        {"back again loses a pixel", 78, 22, 18, 63},
        {"same height", 100, 18, 18, 100},
        {"wide column, large font: no wrap", 2'000'000'000, 18, 36, kMax},
        {"zero old height keeps width", 64, 0, 22, 64},
        {"zero width stays", 0, 18, 22, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shell::scaledColumnWidth(row.width, row.oldRow, row.newRow), row.want);
    }
}

TEST(FontMetrics, PanelAndEditBoxHeights) {
    EXPECT_EQ(shell::editBoxHeight(14), 22);
    EXPECT_EQ(shell::displayPanelHeight(17), 25);
    EXPECT_EQ(shell::displayPanelHeight(17, false), 23);
    EXPECT_EQ(shell::displayPanelHeight(17, true, 2), 33);
}

// Plays the dialog: presses Apply with each font of `applies`, then OK with
// `result` or Cancel when it is empty.
class ScriptedChooser final : public platform::FontChooser {
  public:
    std::vector<FontSpec> applies;
    std::optional<FontSpec> result;
    std::optional<FontSpec> shownFirst;

    std::optional<FontSpec> choose(const FontSpec& initial, const ApplyHandler& onApply) override {
        shownFirst = initial;
        for (const auto& f : applies) onApply(f);
        return result;
    }
};

// A window in memory. Text height of a font = its size, so size 14 gives an
// edit box of 22 and size 18 one of 26. The display panel's height and the
// collapsed window's height follow the real arithmetic.
class FakeWindow final : public shell::FontCommandHost {
  public:
    FontSpec fonts[3];
    std::optional<FontSpec> edtBase;
    int rowHeight = 18;
    int defaultColWidth = 64;
    std::vector<int> colWidths{18, 64, 64, 64};
    int displayHeight = 0;
    int collapsedHeight = 0;
    std::vector<std::string> calls;

    FakeWindow() {
        fonts[0] = {"Courier New", 11, 0};
        fonts[1] = {"Verdana", 14, 0};
        fonts[2] = {"Courier New", 19, 0, true};
    }
    FontSpec targetFont(FontTarget t) const override { return fonts[static_cast<int>(t)]; }
    void setTargetFont(FontTarget t, const FontSpec& f) override {
        fonts[static_cast<int>(t)] = f;
        calls.push_back("font " + std::to_string(static_cast<int>(t)));
    }
    void setEdtBaseFont(const FontSpec& f) override { edtBase = f; }
    int textHeight(const FontSpec& f) const override { return f.size; }
    int gridRowHeight() const override { return rowHeight; }
    void setGridRowHeight(int h) override { rowHeight = h; }
    int gridColCount() const override { return static_cast<int>(colWidths.size()); }
    int gridColWidth(int c) const override { return colWidths[static_cast<size_t>(c)]; }
    void setGridColWidth(int c, int w) override { colWidths[static_cast<size_t>(c)] = w; }
    void setGridDefaultColWidth(int w) override { defaultColWidth = w; }
    void repaintGrid() override { calls.push_back("repaint grid"); }
    void adjustDisplayHeight() override {
        displayHeight = shell::adjustedDisplayHeight(*this);
        calls.push_back("adjust display");
    }
    void applyWindowMode() override {
        shell::ShellSettings s;
        const shell::FrameExtra frame{0, 30};
        collapsedHeight =
            shell::gridPageWindowSize(false, s, frame, {0, displayHeight, 48}).height;
        calls.push_back("window mode");
    }
};

const FontSpec kBigGrid{"DejaVu Sans", 18, 0x0000FF, true};

TEST(FontCommand, GridOkScalesColumnsAndRows) {
    FakeWindow w;
    ScriptedChooser dialog;
    dialog.result = kBigGrid;
    shell::runFontCommand(FontTarget::Grid, dialog, w);

    EXPECT_EQ(dialog.shownFirst->name, "Verdana");
    EXPECT_EQ(w.fonts[1], kBigGrid);
    EXPECT_EQ(w.edtBase, kBigGrid);
    EXPECT_EQ(w.rowHeight, 22);
    EXPECT_EQ(w.colWidths, (std::vector<int>{22, 78, 78, 78}));
    // Columns the grid gains later keep the width of the first showing.
    EXPECT_EQ(w.defaultColWidth, 64);
    EXPECT_EQ(w.calls.back(), "repaint grid");
}

TEST(FontCommand, GridCancelAfterApplyKeepsFontAndOldMetrics) {
    FakeWindow w;
    ScriptedChooser dialog;
    dialog.applies = {{"DejaVu Serif", 30}, kBigGrid};
    shell::runFontCommand(FontTarget::Grid, dialog, w);

    EXPECT_EQ(w.fonts[1], kBigGrid);
    EXPECT_FALSE(w.edtBase.has_value());
    EXPECT_EQ(w.rowHeight, 18);
    EXPECT_EQ(w.colWidths, (std::vector<int>{18, 64, 64, 64}));
}

TEST(FontCommand, PlainCancelChangesNothing) {
    for (FontTarget t :
         {FontTarget::MainDisplay, FontTarget::Grid, FontTarget::CalculatorDisplay}) {
        SCOPED_TRACE(static_cast<int>(t));
        FakeWindow w;
        const FakeWindow before;
        ScriptedChooser dialog;
        shell::runFontCommand(t, dialog, w);
        EXPECT_TRUE(w.calls.empty());
        EXPECT_EQ(w.fonts[static_cast<int>(t)], before.fonts[static_cast<int>(t)]);
    }
}

TEST(FontCommand, LargerDisplayFontGrowsPanelAndCollapsedWindowAlike) {
    FakeWindow w;
    w.adjustDisplayHeight();
    w.applyWindowMode();
    const int panelBefore = w.displayHeight;
    const int windowBefore = w.collapsedHeight;
    w.calls.clear();

    ScriptedChooser dialog;
    dialog.result = FontSpec{"DejaVu Sans Mono", 24};
    shell::runFontCommand(FontTarget::MainDisplay, dialog, w);

    EXPECT_EQ(panelBefore, 19);
    EXPECT_EQ(w.displayHeight, 32);
    EXPECT_EQ(w.collapsedHeight - windowBefore, w.displayHeight - panelBefore);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"font 0", "adjust display", "window mode"}));
}

TEST(FontCommand, ApplyOnlyShowsTheFont) {
    const struct {
        const char* name;
        FontTarget target;
    } rows[] = {
        {"display: no height change", FontTarget::MainDisplay},
        {"grid: no metrics, no edtBase", FontTarget::Grid},
        {"calculator", FontTarget::CalculatorDisplay},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeWindow w;
        ScriptedChooser dialog;
        dialog.applies = {kBigGrid};
        shell::runFontCommand(row.target, dialog, w);
        EXPECT_EQ(
            w.calls,
            (std::vector<std::string>{"font " + std::to_string(static_cast<int>(row.target))}));
        EXPECT_EQ(w.fonts[static_cast<int>(row.target)], kBigGrid);
        EXPECT_EQ(w.rowHeight, 18);
        EXPECT_FALSE(w.edtBase.has_value());
    }
}

TEST(FontCommand, CalculatorOkOnlyTakesTheFont) {
    FakeWindow w;
    ScriptedChooser dialog;
    dialog.result = FontSpec{"DejaVu Sans Mono", 26, 0, true, false, true};
    shell::runFontCommand(FontTarget::CalculatorDisplay, dialog, w);
    EXPECT_EQ(w.fonts[2], *dialog.result);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"font 2"}));
}

TEST(FontCommand, FirstShowingGridMetrics) {
    FakeWindow w;
    w.fonts[1].size = 18;  // edit box 26
    w.colWidths = {5, 5, 5};
    shell::applyFirstShowingGridMetrics(w);
    EXPECT_EQ(w.edtBase, w.fonts[1]);
    EXPECT_EQ(w.rowHeight, 22);
    EXPECT_EQ(w.defaultColWidth, 78);
    EXPECT_EQ(w.colWidths, (std::vector<int>{22, 78, 78}));
}

}  // namespace
}  // namespace corvalo::testing
