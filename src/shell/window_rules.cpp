#include "shell/window_rules.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace corvalo::shell {

PixelSize gridPageWindowSize(bool expanded, const ShellSettings& s, FrameExtra frame,
                             GridPageHeights heights) {
    if (expanded) return {s.expandedWidth, s.expandedHeight};
    return {s.collapsedWidth, frame.height + heights.minClientHeight()};
}

PixelSize calculatorWindowSize(const ShellSettings& s, FrameExtra frame, int tabStrip) {
    return {frame.width + s.calculatorWidth, frame.height + s.calculatorHeight + tabStrip};
}

ResizeOutcome applyResizeRules(const ResizeInput& in, ShellSettings& s) {
    ResizeOutcome out;
    const int clientWidth = in.outer.width - in.frame.width;
    const int clientHeight = in.outer.height - in.frame.height;
    out.sizeButtonLeft = clientWidth - kSizeButtonInset;

    if (in.page == Page::Grid) {
        const bool overlap = in.decimalButtonRight > out.sizeButtonLeft;
        const int minClient = in.heights.minClientHeight();
        PixelSize target = in.outer;
        if (overlap) target.width = kNarrowWindowWidth;
        if (in.expanded) {
            if (clientHeight < minClient) target.height = minClient + in.frame.height;
            s.expandedHeight = target.height;
            s.expandedWidth = target.width;
            s.collapsedWidth = target.width;
        } else {
            target.height = minClient + in.frame.height;
            s.collapsedWidth = target.width;
            s.expandedWidth = target.width;
        }
        if (target != in.outer) out.resizeTo = target;
    } else if (in.page == Page::Calculator) {
        // The stored values are tested, not the control: a window made too small is
        // corrected at the resize after the one that stored the small size.
        if (s.calculatorHeight < kMinCalculatorHeight || s.calculatorWidth < kMinCalculatorWidth) {
            s.calculatorHeight = std::max(s.calculatorHeight, kMinCalculatorHeight);
            s.calculatorWidth = std::max(s.calculatorWidth, kMinCalculatorWidth);
            const PixelSize target = calculatorWindowSize(s, in.frame, in.heights.tabStrip);
            if (target != in.outer) out.resizeTo = target;
        } else {
            s.calculatorHeight = in.calculator.height;
            s.calculatorWidth = in.calculator.width;
        }
    }
    return out;
}

bool chooseLineByClick(clipcalc::CalcState& state, int col, int row, int colCount, int rowCount) {
    if (col < 0 || row < 0 || col >= colCount || row >= rowCount) return false;
    using clipcalc::TabulationStyle;
    if (row == 0) {
        state.tabulationStyle = TabulationStyle::UsingColumns;
    } else if (col == 0) {
        state.tabulationStyle = TabulationStyle::UsingRows;
    }
    if (state.tabulationStyle == TabulationStyle::UsingColumns) {
        if (col > 0) state.currentColumn = col;
    } else if (row > 0) {
        state.currentRow = row;
    }
    return true;
}

namespace {

// How much of a window's top must show on a screen to reach it with the mouse.
constexpr int kReachableStripHeight = 24;
constexpr int kReachableStripWidth = 48;

int overlap(int a0, int a1, int b0, int b1) {
    return std::min(a1, b1) - std::max(a0, b0);
}

}  // namespace

PixelRect placeOnScreens(PixelRect window, const std::vector<PixelRect>& screens) {
    if (screens.empty()) return window;
    const int stripHeight = std::min(window.height, kReachableStripHeight);
    const int stripWidth = std::min(window.width, kReachableStripWidth);
    for (const PixelRect& s : screens) {
        const int w = overlap(window.left, window.left + window.width, s.left, s.left + s.width);
        const int h = overlap(window.top, window.top + stripHeight, s.top, s.top + s.height);
        if (w >= stripWidth && h >= stripHeight) return window;
    }
    const PixelRect& s = screens.front();
    PixelRect placed = window;
    placed.left = std::max(s.left, std::min(window.left, s.left + s.width - window.width));
    placed.top = std::max(s.top, std::min(window.top, s.top + s.height - window.height));
    return placed;
}

SizeGlyph makeSizeButtonGlyph() {
    SizeGlyph g;
    g.fill(GlyphInk::White);
    const auto row = [&g](int image, int y, int width, GlyphInk ink) {
        const int left = image * 9 + (9 - width) / 2;
        for (int x = left; x < left + width; ++x) {
            g[static_cast<std::size_t>(y * kGlyphWidth + x)] = ink;
        }
    };
    // Downward triangles on rows 4 to 8 (from 1), the upward one on rows 2 to 6.
    for (int i = 0; i < 5; ++i) {
        const int down = 9 - 2 * i;
        row(0, 3 + i, down, GlyphInk::Black);
        row(1, 3 + i, down, GlyphInk::Grey);
        row(3, 1 + i, 1 + 2 * i, GlyphInk::Black);
    }
    return g;
}

void blankDisabledGlyph(SizeGlyph& glyph) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 9; x < 17; ++x) {
            glyph[static_cast<std::size_t>(y * kGlyphWidth + x)] = GlyphInk::White;
        }
    }
}

std::string trimControl(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace corvalo::shell
