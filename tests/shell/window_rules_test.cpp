#include "shell/window_rules.h"

#include <gtest/gtest.h>

namespace corvalo::shell {
namespace {

constexpr FrameExtra kFrame{8, 46};
constexpr GridPageHeights kHeights{0, 24, 48};  // collapsed client height 72
constexpr int kDecimalRight = 226;              // 8 + 152 + 33 + 33

struct ResizeRow {
    const char* name;
    int page;
    bool expanded;
    PixelSize outer;
    ShellSettings before;
    std::optional<PixelSize> resizeTo;
    ShellSettings after;
};

ShellSettings sizes(int eh, int ew, int cw, int calcH = 400, int calcW = 440) {
    ShellSettings s;
    s.expandedHeight = eh;
    s.expandedWidth = ew;
    s.collapsedWidth = cw;
    s.calculatorHeight = calcH;
    s.calculatorWidth = calcW;
    return s;
}

TEST(ResizeRules, Table) {
    const ResizeRow rows[] = {
        {"collapsed dragged taller snaps back, width kept for both modes", kGridPage, false,
         {600, 300}, sizes(456, 494, 494), PixelSize{600, 118}, sizes(456, 600, 600)},
        {"collapsed at its height stays", kGridPage, false, {494, 118}, sizes(456, 494, 494),
         std::nullopt, sizes(456, 494, 494)},
        {"collapsed too narrow becomes 300 wide", kGridPage, false, {250, 118},
         sizes(456, 494, 494), PixelSize{300, 118}, sizes(456, 300, 300)},
        {"expanded resize is stored as both widths", kGridPage, true, {640, 500},
         sizes(456, 494, 494), std::nullopt, sizes(500, 640, 640)},
        {"expanded too low grows to the panels", kGridPage, true, {640, 60}, sizes(456, 494, 494),
         PixelSize{640, 118}, sizes(118, 640, 640)},
        {"expanded too narrow and too low", kGridPage, true, {200, 60}, sizes(456, 494, 494),
         PixelSize{300, 118}, sizes(118, 300, 300)},
        {"calculator stored too small grows", kCalculatorPage, false, {400, 300},
         sizes(456, 494, 494, 100, 100), PixelSize{8 + 295, 46 + 220},
         sizes(456, 494, 494, 220, 295)},
        {"calculator page stores the control's size", kCalculatorPage, false, {400, 300},
         sizes(456, 494, 494), std::nullopt, sizes(456, 494, 494, 254, 392)},
        {"text page changes nothing", kTextPage, true, {100, 50}, sizes(456, 494, 494),
         std::nullopt, sizes(456, 494, 494)},
    };
    for (const ResizeRow& row : rows) {
        SCOPED_TRACE(row.name);
        ShellSettings s = row.before;
        ResizeInput in;
        in.page = row.page;
        in.expanded = row.expanded;
        in.outer = row.outer;
        in.frame = kFrame;
        in.decimalButtonRight = kDecimalRight;
        in.heights = kHeights;
        in.calculator = {row.outer.width - kFrame.width, row.outer.height - kFrame.height};
        const ResizeOutcome out = applyResizeRules(in, s);
        EXPECT_EQ(out.sizeButtonLeft, row.outer.width - kFrame.width - 39);
        EXPECT_EQ(out.resizeTo, row.resizeTo);
        EXPECT_EQ(s.expandedHeight, row.after.expandedHeight);
        EXPECT_EQ(s.expandedWidth, row.after.expandedWidth);
        EXPECT_EQ(s.collapsedWidth, row.after.collapsedWidth);
        EXPECT_EQ(s.calculatorHeight, row.after.calculatorHeight);
        EXPECT_EQ(s.calculatorWidth, row.after.calculatorWidth);
    }
}

TEST(WindowModeSizes, CollapsedIsPanelsHighExpandedFromSettings) {
    const ShellSettings s = sizes(456, 520, 494, 400, 440);
    EXPECT_EQ(gridPageWindowSize(false, s, kFrame, kHeights), (PixelSize{494, 46 + 72}));
    EXPECT_EQ(gridPageWindowSize(true, s, kFrame, kHeights), (PixelSize{520, 456}));
    EXPECT_EQ(calculatorWindowSize(s, kFrame, 0), (PixelSize{8 + 440, 46 + 400}));
}

struct ClickRow {
    const char* name;
    clipcalc::TabulationStyle style;
    int col;
    int row;
    bool inside;
    clipcalc::TabulationStyle styleAfter;
    int currentColumn;
    int currentRow;
};

TEST(ChooseLineByClick, Table) {
    using clipcalc::TabulationStyle;
    constexpr auto Cols = TabulationStyle::UsingColumns;
    constexpr auto Rows = TabulationStyle::UsingRows;
    const ClickRow rows[] = {
        {"data cell by columns takes its column", Cols, 3, 2, true, Cols, 3, 1},
        {"data cell by rows takes its row", Rows, 3, 2, true, Rows, 1, 2},
        {"row header switches to rows", Cols, 0, 2, true, Rows, 1, 2},
        {"column header switches to columns", Rows, 2, 0, true, Cols, 2, 1},
        {"corner switches to columns and keeps the column", Rows, 0, 0, true, Cols, 1, 1},
        {"beyond the last column does nothing", Rows, 4, 2, false, Rows, 1, 1},
        {"beyond the last row does nothing", Cols, 2, 5, false, Cols, 1, 1},
        {"negative cell does nothing", Cols, -1, 1, false, Cols, 1, 1},
    };
    for (const ClickRow& row : rows) {
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
        {"on the first screen stays", {520, 240, 494, 118}, {520, 240, 494, 118}},
        {"on the second screen stays", {2000, 100, 494, 118}, {2000, 100, 494, 118}},
        {"half over the edge stays", {1000, 900, 494, 118}, {1000, 900, 494, 118}},
        {"beyond an unplugged third screen comes back", {3500, 240, 494, 118},
         {1280 - 494, 240, 494, 118}},
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
    int grey = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 9; x < 18; ++x) grey += at(g, x, y) == GlyphInk::Grey ? 1 : 0;
    }
    EXPECT_EQ(grey, 1);
    EXPECT_EQ(at(g, 17, 3), GlyphInk::Grey);       // its top right pixel stays
    EXPECT_EQ(at(g, 4, 3), GlyphInk::Black);       // image 1 untouched
}

TEST(TrimControl, Table) {
    const struct {
        const char* name;
        std::string_view in;
        const char* out;
    } rows[] = {{"trailing blank of the display", "1,234.50 ", "1,234.50"},
                {"tabs and line ends", "\t\r\n12\r\n", "12"},
                {"inner blanks stay", " 1 234 ", "1 234"},
                {"nothing left", " \t ", ""},
                {"latin-1 no-break space stays", "\xA0" "5", "\xA0" "5"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(trimControl(row.in), row.out);
    }
}

}  // namespace
}  // namespace corvalo::shell
