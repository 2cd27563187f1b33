#include "deskcalc/layout.h"

#include <algorithm>
#include <cmath>

namespace corvalo::deskcalc {

namespace {

constexpr int kTapeScrollBar = 18;  // the tape is this much wider than the display
constexpr Key kMemoryColumn[] = {Key::MemClear, Key::MemRecall, Key::MemStore, Key::MemAdd,
                                 Key::MemSubtract};

void place(CalculatorLayout& l, Key b, int left, int top, int width, int height) {
    l.buttons[indexOf(b)] = Rect{left, top, width, height};
}

}  // namespace

int displayHeight(int textHeight, int borderHeight, bool ctl3D) {
    return textHeight + (ctl3D ? 8 : 6) * borderHeight;
}

CalculatorLayout layoutCalculator(const CalculatorLayoutInput& in) {
    CalculatorLayout l;
    const bool memory = in.options.has(CalculatorOption::ShowMemoryButtons);
    const bool clearTape = in.options.has(CalculatorOption::ShowClearTapeButton);
    const bool showTape = in.options.has(CalculatorOption::ShowTape);
    const int w = in.width;
    const int h = in.height;
    const int dh = displayHeight(in.displayTextHeight, in.borderHeight, in.ctl3D);
    const int th = in.tapeHeight;
    l.visible.fill(true);
    l.visible[indexOf(Key::None)] = false;

    int g = 2;
    int m = 4;
    if (w > 200) {
        g = 4;
        m = 6;
    }
    int bw = 0;
    int x0 = 0;
    if (memory) {
        bw = (w - 3 * m - 4 * g) / 6;
        x0 = std::max(w - 2 * m - 6 * bw - 4 * g, m);
    } else {
        const int t = w - 2 * m - 4 * g;
        bw = t / 5;
        if (t / 6 >= 4) {
            m += 2;
        } else if (t / 6 >= 2) {
            m += 1;
        }
    }

    int top = 2 * m + dh;
    if (showTape) top += th + m;
    const int bh = (h - top - m - 4 * g) / 5;
    const int y0 = h - m - 5 * bh - 4 * g;
    const auto rowY = [&](int r) { return y0 + r * (bh + g); };

    const int ew = clearTape ? (5 * bw + g) / 4 : (4 * bw + g) / 3;
    int pw = memory ? 6 * bw + x0 + 4 * g : 5 * bw + 4 * g;
    if (showTape) pw -= kTapeScrollBar;

    l.tapeVisible = showTape;
    if (showTape) {
        l.tape = Rect{m, m, pw + kTapeScrollBar, th};
        l.display = Rect{m + 2, th + 2 * m, pw, dh};
    } else {
        l.display = Rect{m, m, pw, dh};
    }

    int cw = 8;
    if (in.digitsTextWidth >= 0) {
        cw = static_cast<int>(std::lround(in.digitsTextWidth / 11.0));
    }
    cw = std::max(cw, 1);  // a font without width must not divide by zero
    l.tapeChars =
        showTape ? (l.tape.width - kTapeScrollBar - cw / 2) / cw : (l.display.width - cw / 2) / cw;

    if (memory) {
        for (int r = 0; r < 5; ++r) place(l, kMemoryColumn[r], m, rowY(r), bw, bh);
    } else {
        for (const Key b : kMemoryColumn) l.visible[indexOf(b)] = false;
    }

    const int x1 = memory ? m + bw + x0 : m;
    const auto colX = [&](int c) { return x1 + c * (bw + g); };

    // Row 0: the edit buttons share four (or, with CT, five) columns; the remainder of
    // that division goes out one pixel at a time from the right.
    const int remainder = clearTape ? 5 * (bw + g) - 4 * (ew + g) : 4 * (bw + g) - 3 * (ew + g);
    int x = colX(0);
    if (clearTape) {
        place(l, Key::ClearTape, x, rowY(0), ew, bh);
        x += ew + g;
        if (remainder >= 3) ++x;
    } else {
        l.visible[indexOf(Key::ClearTape)] = false;
        x = colX(1);
    }
    place(l, Key::Back, x, rowY(0), ew, bh);
    x += ew + g;
    if (remainder >= 2) ++x;
    place(l, Key::ClearEntry, x, rowY(0), ew, bh);
    x += ew + g;
    if (remainder >= 1) ++x;
    place(l, Key::Clear, x, rowY(0), ew, bh);

    const Key grid[4][5] = {
        {Key::Digit7, Key::Digit8, Key::Digit9, Key::Divide, Key::Sqrt},
        {Key::Digit4, Key::Digit5, Key::Digit6, Key::Multiply, Key::Percent},
        {Key::Digit1, Key::Digit2, Key::Digit3, Key::Subtract, Key::Reciprocal},
        {Key::Digit0, Key::ChangeSign, Key::Decimal, Key::Add, Key::Equals},
    };
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) place(l, grid[r][c], colX(c), rowY(r + 1), bw, bh);
    }

    l.margin = m;
    l.gap = g;
    l.buttonWidth = bw;
    l.buttonHeight = bh;
    l.editButtonWidth = ew;
    return l;
}

std::string buttonCaption(Key button, char decimalSeparator) {
    static constexpr const char* kCaptions[kButtonCount + 1] = {
        "",  "CT",  "Back", "CE", "C",    "+",  "-",  "*",  "/",  "0",
        "1", "2",   "3",    "4",  "5",    "6",  "7",  "8",  "9",  "",
        "=", "1/x", "+/-",  "%",  "Sqrt", "MC", "MR", "MS", "M+", "M-"};
    if (button == Key::Decimal) return std::string(1, decimalSeparator);
    if (button > Key::MemSubtract) return {};
    return kCaptions[indexOf(button)];
}

Key buttonAt(const CalculatorLayout& layout, int x, int y) {
    for (int i = 1; i <= kButtonCount; ++i) {
        const Key b = keyAt(i);
        if (layout.isVisible(b) && layout.button(b).contains(x, y)) return b;
    }
    return Key::None;
}

}  // namespace corvalo::deskcalc
