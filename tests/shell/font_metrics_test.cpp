// Fonts and the sizes that follow from them: grid metrics at the first showing,
// the three font commands through OK, Apply and Cancel, and the display panel.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "shell/font_command.h"
#include "shell/font_metrics.h"

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
        {"default grid font", 22, {18, 64, 18}},
        {"truncates 19*64/18=67.6", 23, {19, 67, 19}},
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
        {"back again loses a pixel", 78, 22, 18, 63},
        {"wide column, large font: no wrap", 2'000'000'000, 18, 36, kMax},
        {"zero old height keeps width", 64, 0, 22, 64},
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

// A window in memory that records what the commands do to it. Text height of a
// font = its size, so size 14 gives an edit box of 22 and size 18 one of 26.
class FakeWindow final : public shell::FontCommandHost {
  public:
    FontSpec fonts[3] = {{"Courier New", 11, 0}, {"Verdana", 14, 0}, {"Courier New", 19, 0, true}};
    std::optional<FontSpec> probe;
    int rowHeight = 18;
    int defaultColWidth = 64;
    std::vector<int> colWidths{18, 64, 64, 64};
    std::string calls;  // what the command did, "; " after each step

    FontSpec targetFont(FontTarget t) const override { return fonts[static_cast<int>(t)]; }
    void setTargetFont(FontTarget t, const FontSpec& f) override {
        fonts[static_cast<int>(t)] = f;
        calls += "font " + std::to_string(static_cast<int>(t)) + "; ";
    }
    void setGridFontProbe(const FontSpec& f) override { probe = f; }
    int textHeight(const FontSpec& f) const override { return f.size; }
    int gridRowHeight() const override { return rowHeight; }
    void setGridRowHeight(int h) override { rowHeight = h; }
    int gridColCount() const override { return static_cast<int>(colWidths.size()); }
    int gridColWidth(int c) const override { return colWidths[static_cast<size_t>(c)]; }
    void setGridColWidth(int c, int w) override { colWidths[static_cast<size_t>(c)] = w; }
    void setGridDefaultColWidth(int w) override { defaultColWidth = w; }
    void repaintGrid() override { calls += "repaint grid; "; }
    void adjustDisplayHeight() override {
        calls += "display " + std::to_string(shell::adjustedDisplayHeight(*this)) + "; ";
    }
    void applyWindowMode() override { calls += "window mode; "; }
};

const FontSpec kBigGrid{"DejaVu Sans", 18, 0x0000FF, true};

// Every run but the plain Cancel ends with kBigGrid on its target; only the grid's OK
// rescales.
TEST(FontCommand, OkApplyAndCancel) {
    using enum FontTarget;
    const FontSpec serif{"DejaVu Serif", 30};
    const struct {
        const char* name;
        FontTarget target;
        std::vector<FontSpec> applies;
        std::optional<FontSpec> answer;
        const char* calls;
        bool rescaled;
    } rows[] = {
        {"grid OK rescales", Grid, {}, kBigGrid, "font 1; repaint grid; ", true},
        {"grid Apply twice, Cancel", Grid, {serif, kBigGrid}, {}, "font 1; font 1; ", false},
        {"grid plain Cancel", Grid, {}, {}, "", false},
        {"display OK", MainDisplay, {}, kBigGrid, "font 0; display 26; window mode; ", false},
        {"display Apply, Cancel", MainDisplay, {kBigGrid}, std::nullopt, "font 0; ", false},
        {"calculator OK", CalculatorDisplay, {}, kBigGrid, "font 2; ", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeWindow w;
        const FontSpec before = w.fonts[static_cast<int>(row.target)];
        FakeFontChooser dialog;
        dialog.apply = row.applies;
        dialog.answer = row.answer;
        shell::runFontCommand(row.target, dialog, w);
        EXPECT_EQ(dialog.offered, std::vector<FontSpec>{before});
        const bool untouched = std::string(row.calls).empty();  // the plain Cancel
        EXPECT_EQ(w.fonts[static_cast<int>(row.target)], untouched ? before : kBigGrid);
        EXPECT_EQ(w.calls, row.calls);
        EXPECT_EQ(w.probe, row.rescaled ? std::optional(kBigGrid) : std::nullopt);
        EXPECT_EQ(w.rowHeight, row.rescaled ? 22 : 18);
        const std::vector<int> widths =
            row.rescaled ? std::vector<int>{22, 78, 78, 78} : std::vector<int>{18, 64, 64, 64};
        EXPECT_EQ(w.colWidths, widths);
        EXPECT_EQ(w.defaultColWidth, 64);  // columns the grid gains later keep it
    }
}

TEST(FontCommand, FirstShowingGridMetrics) {
    FakeWindow w;
    w.fonts[1].size = 18;  // edit box 26
    w.colWidths = {5, 5, 5};
    shell::applyFirstShowingGridMetrics(w);
    EXPECT_EQ(w.probe, w.fonts[1]);
    EXPECT_EQ(w.rowHeight, 22);
    EXPECT_EQ(w.defaultColWidth, 78);
    EXPECT_EQ(w.colWidths, (std::vector<int>{22, 78, 78}));
}

}  // namespace
}  // namespace corvalo::testing
