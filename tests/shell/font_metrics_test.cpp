// Fonts and the sizes that follow from them: grid metrics at the first showing and
// the font commands through Apply, Cancel and OK.
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

// The formulas' edges; their ordinary cases run through the commands below.
TEST(FontMetrics, EdgesOfTheFormulas) {
    EXPECT_EQ(shell::firstShowingGridMetrics(3), (shell::GridMetrics{1, 3, 1}));  // row >= 1
    constexpr int kMax = std::numeric_limits<int>::max();
    EXPECT_EQ(shell::scaledColumnWidth(2'000'000'000, 18, 36), kMax);  // no wrap-around
    EXPECT_EQ(shell::scaledColumnWidth(64, 0, 22), 64);                // no old height
}

// A window in memory that records what the commands do to it.
class FakeWindow final : public shell::FontCommandHost {
  public:
    FontSpec fonts[3] = {{"Courier New", 11, 0}, {"Verdana", 18, 0}, {"Courier New", 19, 0, true}};
    std::optional<FontSpec> probe;
    int rowHeight = 18;
    int defaultColWidth = 64;
    std::vector<int> colWidths{5, 5, 5, 5};
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

// Text height = font size: size 18 gives an edit box of 26, rows of 22 and columns of
// 22 * 64 / 18 = 78.2 -> 78. The window's tests see each command reach its control.
TEST(FontCommand, FirstShowingThenApplyCancelAndOk) {
    FakeWindow w;
    shell::applyFirstShowingGridMetrics(w);
    EXPECT_EQ(w.probe, w.fonts[1]);
    EXPECT_EQ(w.defaultColWidth, 78);
    EXPECT_EQ(w.colWidths, (std::vector<int>{22, 78, 78, 78}));
    const FontSpec small{"DejaVu Sans", 14, 0x0000FF, true};
    FakeFontChooser dialog;
    SCOPED_TRACE("grid Apply, then Cancel: the font stays, nothing is rescaled");
    dialog.apply = {small};
    shell::runFontCommand(FontTarget::Grid, dialog, w);
    EXPECT_EQ(dialog.offered, std::vector<FontSpec>{w.probe.value()});
    EXPECT_EQ(w.calls, "repaint grid; font 1; ");
    EXPECT_EQ(w.fonts[1], small);
    EXPECT_EQ(w.rowHeight, 22);
    SCOPED_TRACE("then grid OK: rows of 18, each column * 18 / 22: 78 -> 63.8 -> 63");
    dialog.apply = {};
    dialog.answer = small;
    w.calls.clear();
    shell::runFontCommand(FontTarget::Grid, dialog, w);
    EXPECT_EQ(w.calls, "font 1; repaint grid; ");
    EXPECT_EQ(w.probe, small);
    EXPECT_EQ(w.rowHeight, 18);
    EXPECT_EQ(w.colWidths, (std::vector<int>{18, 63, 63, 63}));
    EXPECT_EQ(w.defaultColWidth, 78);  // columns the grid gains later keep it
    SCOPED_TRACE("then display OK: its height follows (14 + 8), then the window's mode");
    w.calls.clear();
    shell::runFontCommand(FontTarget::MainDisplay, dialog, w);
    EXPECT_EQ(w.calls, "font 0; display 22; window mode; ");
}

}  // namespace
}  // namespace corvalo::testing
