#include "shell/window_rules.h"

#include <gtest/gtest.h>

#include <array>

namespace corvalo::shell {
namespace {

constexpr FrameExtra kFrame{8, 46};
constexpr GridPageHeights kHeights{0, 24, 48};  // collapsed client height 72
constexpr int kDecimalRight = 226;              // 8 + 152 + 33 + 33

ResizeInput resizeInput(Page page, bool expanded, PixelSize outer) {
    return {page,
            expanded,
            outer,
            kFrame,
            kDecimalRight,
            kHeights,
            {outer.width - kFrame.width, outer.height - kFrame.height}};
}

// Stored sizes start as the defaults: expanded 494 x 456, collapsed 494 wide, the
// calculator 440 x 400; the calculator's stored size is tested, not the control's.
TEST(ResizeRules, Table) {
    constexpr Page G = Page::Grid, C = Page::Calculator, T = Page::Text;
    const struct {
        const char* name;
        Page page;
        int expanded;
        PixelSize outer;
        PixelSize ends;               // the outer size the window ends at
        std::array<int, 5> stored;    // expanded height and width, collapsed width, calculator
        bool tinyCalculator = false;  // stored 100 x 100 before
    } rows[] = {
        {"collapsed, taller: snaps back", G, 0, {600, 300}, {600, 118}, {456, 600, 600, 440, 400}},
        {"collapsed at its height", G, 0, {494, 118}, {494, 118}, {456, 494, 494, 440, 400}},
        {"collapsed too narrow: 300", G, 0, {250, 118}, {300, 118}, {456, 300, 300, 440, 400}},
        {"expanded: size stored", G, 1, {640, 500}, {640, 500}, {500, 640, 640, 440, 400}},
        {"expanded too low: grows", G, 1, {640, 60}, {640, 118}, {118, 640, 640, 440, 400}},
        {"calculator too small", C, 1, {400, 300}, {303, 266}, {456, 494, 494, 295, 220}, true},
        {"calculator: size stored", C, 1, {400, 300}, {400, 300}, {456, 494, 494, 392, 254}},
        {"text page: nothing", T, 1, {100, 50}, {100, 50}, {456, 494, 494, 440, 400}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShellSettings s;
        if (row.tinyCalculator) s.calculatorWidth = s.calculatorHeight = 100;
        const ResizeOutcome out =
            applyResizeRules(resizeInput(row.page, row.expanded != 0, row.outer), s);
        EXPECT_EQ(out.sizeButtonLeft, row.outer.width - 8 - 39);
        EXPECT_EQ(out.resizeTo.value_or(row.outer), row.ends);
        EXPECT_EQ((std::array<int, 5>{s.expandedHeight, s.expandedWidth, s.collapsedWidth,
                                      s.calculatorWidth, s.calculatorHeight}),
                  row.stored);
    }
}

TEST(ChooseLineByClick, Table) {
    constexpr auto Cols = clipcalc::TabulationStyle::UsingColumns;
    constexpr auto Rows = clipcalc::TabulationStyle::UsingRows;
    const struct {
        const char* name;
        clipcalc::TabulationStyle style;
        int col, row;
        bool inside;
        clipcalc::TabulationStyle styleAfter;
        int currentColumn, currentRow;
    } rows[] = {
        {"data cell by columns takes its column", Cols, 3, 2, true, Cols, 3, 1},
        {"row header switches to rows", Cols, 0, 2, true, Rows, 1, 2},
        {"column header switches to columns", Rows, 2, 0, true, Cols, 2, 1},
        {"corner switches to columns and keeps the column", Rows, 0, 0, true, Cols, 1, 1},
        {"beyond the last column does nothing", Rows, 4, 2, false, Rows, 1, 1},
        {"beyond the last row does nothing", Cols, 2, 5, false, Cols, 1, 1},
        {"negative cell does nothing", Cols, -1, 1, false, Cols, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        clipcalc::CalcState state;
        state.tabulationStyle = row.style;
        EXPECT_EQ(chooseLineByClick(state, row.col, row.row, 4, 5), row.inside);
        EXPECT_EQ(state.tabulationStyle, row.styleAfter);
        EXPECT_EQ(state.currentColumn, row.currentColumn);
        EXPECT_EQ(state.currentRow, row.currentRow);
    }
}

TEST(PlaceOnScreens, Table) {
    const std::vector<PixelRect> twoScreens = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};
    const struct {
        const char* name;
        PixelRect window;
        PixelRect placed;
    } rows[] = {
        {"on the second screen stays", {2000, 100, 494, 118}, {2000, 100, 494, 118}},
        {"half over the edge stays", {1000, 900, 494, 118}, {1000, 900, 494, 118}},
        {"past an unplugged screen comes back", {3500, 240, 494, 118}, {786, 240, 494, 118}},
        {"above every screen comes back", {100, -500, 494, 118}, {100, 0, 494, 118}},
        {"left of every screen comes back", {-2000, 300, 494, 118}, {0, 300, 494, 118}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(placeOnScreens(row.window, twoScreens), row.placed);
    }
}

GlyphInk at(const SizeGlyph& g, int x, int y) {
    return g[static_cast<std::size_t>(y * kGlyphWidth + x)];
}

TEST(SizeButtonGlyph, FourImagesAndTheBlankedDisabledOne) {
    SizeGlyph g = makeSizeButtonGlyph();
    // Image 1: row 4 (y 3) full, row 8 (y 7) only the middle pixel.
    for (int x = 0; x < 9; ++x) EXPECT_EQ(at(g, x, 3), GlyphInk::Black) << x;
    EXPECT_EQ(at(g, 4, 7), GlyphInk::Black);
    EXPECT_EQ(at(g, 3, 7), GlyphInk::White);
    EXPECT_EQ(at(g, 9 + 4, 5), GlyphInk::Grey);    // image 2 grey
    EXPECT_EQ(at(g, 18 + 4, 4), GlyphInk::White);  // image 3 blank
    EXPECT_EQ(at(g, 27 + 4, 1), GlyphInk::Black);  // image 4 apex on row 2
    EXPECT_EQ(at(g, 27 + 0, 5), GlyphInk::Black);  // and base on row 6
    EXPECT_EQ(at(g, 27 + 0, 4), GlyphInk::White);

    blankDisabledGlyph(g);
    EXPECT_EQ(at(g, 9 + 4, 3), GlyphInk::White);  // image 2 blanked
    EXPECT_EQ(at(g, 9 + 4, 7), GlyphInk::White);
    EXPECT_EQ(at(g, 17, 3), GlyphInk::Grey);  // its top right pixel stays
    EXPECT_EQ(at(g, 4, 3), GlyphInk::Black);  // image 1 untouched
}

TEST(TrimControl, Table) {
    const struct {
        const char* name;
        std::string_view in;
        const char* out;
    } rows[] = {
        {"trailing blank of the display", "1,234.50 ", "1,234.50"},
        {"tabs and line ends", "\t\r\n12\r\n", "12"},
        {"latin-1 no-break space stays", "\2405", "\2405"},  // octal 240: 0xA0, then "5"
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(trimControl(row.in), row.out);
    }
}

}  // namespace
}  // namespace corvalo::shell
