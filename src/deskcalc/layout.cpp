#include "deskcalc/layout.h"

#include <algorithm>
#include <cmath>

namespace corvalo::deskcalc {

namespace {

constexpr int kTapeScrollBar = 18;  // the tape is this much wider than the display

void place(CalcLayout& l, Key b, int left, int top, int width, int height) {
    l.buttons[b] = CalcRect{left, top, width, height};
}

}  // namespace

int displayHeight(int textHeight, int borderHeight, bool ctl3D) {
    return textHeight + (ctl3D ? 8 : 6) * borderHeight;
}

CalcLayout layoutCalculator(const CalcLayoutInput& in) {
    CalcLayout l;
    const bool memory = hasOption(in.options, coShowMemoryButtons);
    const bool clearTape = hasOption(in.options, coShowClearTapeButton);
    const bool showTape = hasOption(in.options, coShowTape);
    const int w = in.width;
    const int h = in.height;
    const int dh = displayHeight(in.displayTextHeight, in.borderHeight, in.ctl3D);
    const int th = in.tapeHeight;
    l.visible.fill(true);
    l.visible[cbNone] = false;

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
        l.tape = CalcRect{m, m, pw + kTapeScrollBar, th};
        l.display = CalcRect{m + 2, th + 2 * m, pw, dh};
    } else {
        l.display = CalcRect{m, m, pw, dh};
    }

    int cw = 8;
    if (in.digitsTextWidth >= 0) {
        cw = static_cast<int>(std::lround(in.digitsTextWidth / 11.0));
    }
    cw = std::max(cw, 1);  // a font without width must not divide by zero
    l.tapeChars =
        showTape ? (l.tape.width - kTapeScrollBar - cw / 2) / cw : (l.display.width - cw / 2) / cw;

    if (memory) {
        const Key column[] = {cbMemClear, cbMemRecall, cbMemStore, cbMemAdd,
                                               cbMemSubtract};
        for (int r = 0; r < 5; ++r) place(l, column[r], m, rowY(r), bw, bh);
    } else {
        for (auto b : {cbMemClear, cbMemRecall, cbMemStore, cbMemAdd, cbMemSubtract}) {
            l.visible[b] = false;
        }
    }

    const int x1 = memory ? m + bw + x0 : m;
    const auto colX = [&](int c) { return x1 + c * (bw + g); };

    // Row 0: the edit buttons share four (or, with CT, five) columns; the remainder of
    // that division goes out one pixel at a time from the right.
    const int remainder = clearTape ? 5 * (bw + g) - 4 * (ew + g) : 4 * (bw + g) - 3 * (ew + g);
    int x = colX(0);
    if (clearTape) {
        place(l, cbClearTape, x, rowY(0), ew, bh);
        x += ew + g;
        if (remainder >= 3) ++x;
    } else {
        l.visible[cbClearTape] = false;
        x = colX(1);
    }
    place(l, cbBack, x, rowY(0), ew, bh);
    x += ew + g;
    if (remainder >= 2) ++x;
    place(l, cbClearEntry, x, rowY(0), ew, bh);
    x += ew + g;
    if (remainder >= 1) ++x;
    place(l, cbClear, x, rowY(0), ew, bh);

    const Key grid[4][5] = {
        {cbDigit7, cbDigit8, cbDigit9, cbDivide, cbSqrt},
        {cbDigit4, cbDigit5, cbDigit6, cbMultiply, cbPercent},
        {cbDigit1, cbDigit2, cbDigit3, cbSubtract, cbReciprocal},
        {cbDigit0, cbChangeSign, cbDecimal, cbAdd, cbEquals},
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
    if (button == cbDecimal) return std::string(1, decimalSeparator);
    if (button > cbMemSubtract) return {};
    return kCaptions[button];
}

Key buttonAt(const CalcLayout& layout, int x, int y) {
    for (int b = cbClearTape; b <= cbMemSubtract; ++b) {
        if (layout.visible[static_cast<std::size_t>(b)] &&
            layout.buttons[static_cast<std::size_t>(b)].contains(x, y)) {
            return static_cast<Key>(b);
        }
    }
    return cbNone;
}

}  // namespace corvalo::deskcalc
