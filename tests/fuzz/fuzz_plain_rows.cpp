// Rows of plain numbers read straight from the text against the same text loaded
// into a grid. The first byte picks the mode, the column, the decimal separator and
// the classifier; every other byte picks a piece of text, mostly what plain rows are
// made of. Checks: text taken as plain rows gives the loaded grid's counts and,
// bit for bit, its results or its overflow; other text leaves the results alone.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "clipcalc/load.h"
#include "clipcalc/plain_rows.h"
#include "platform/error.h"

using namespace corvalo;
using clipcalc::LineResult;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

bool same(const LineResult& a, const LineResult& b) {
    const double x = a.value(), y = b.value();
    return std::memcmp(&x, &y, sizeof x) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kPieces[] = {"0", "1", "2",    "3",    "4",    "5", "6",
                                          "7", "8", "9",    "9999", ".",    "-", "\t",
                                          ",", " ", "\r\n", "\r\n", "\r\n", "\n"};
    std::string text;
    for (std::size_t i = 1; i < size; ++i) text += kPieces[data[i] % std::size(kPieces)];
    const auto mode = static_cast<clipcalc::MathMode>(1 + (data[0] & 3));
    const std::int32_t col = 1 + ((data[0] >> 2) & 3);
    const auto classifier = static_cast<clipcalc::RowClassifier>((data[0] >> 5) % 3);
    clipcalc::CalcState state;
    state.setStartValues();
    state.localeDecimalSeparator = (data[0] & 0x10) != 0 ? ',' : '.';
    state.localeThousandSeparator = (data[0] & 0x10) != 0 ? '.' : ',';
    state.ignoreFirstRowWhenEmpty = false;
    state.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;

    const std::size_t length = text.size();
    text.append(clipcalc::kPlainRowsReadAhead, '\0');
    LineResult first(mode), chosen(mode);
    first.step(3.0);
    const LineResult before = first;
    std::optional<clipcalc::PlainRows> rows;
    bool overflow = false;
    try {
        rows = clipcalc::stepPlainRows({text.data(), length}, state.localeDecimalSeparator, col,
                                       first, col == 1 ? nullptr : &chosen, classifier);
    } catch (const Error&) {
        overflow = true;
    }
    if (!rows && !overflow) {
        if (!same(first, before) || !same(chosen, LineResult(mode))) fail("results changed");
        return 0;
    }

    clipcalc::Grid grid;
    grid.setColCount(2);
    grid.setRowCount(2);
    const auto cells = clipcalc::loadClipboardText(platform::bigText(text.data(), length), state,
                                                   grid, clipcalc::TextLayout::TabSeparated);
    LineResult firstLoaded = before, chosenLoaded(mode);
    bool overflowLoaded = false;
    try {
        state.currentColumn = 1;
        firstLoaded.add(state, grid);
        state.currentColumn = col;
        if (col != 1) chosenLoaded.add(state, grid);
    } catch (const Error&) {
        overflowLoaded = true;
    }
    if (overflow != overflowLoaded) fail("only one of them overflows");
    if (overflow) return 0;
    if (!cells || *cells != rows->cells || grid.rowCount() - 1 != rows->rows ||
        grid.colCount() - 1 != rows->cols) {
        fail("counts differ");
    }
    if (!same(first, firstLoaded) || !same(chosen, chosenLoaded)) {
        std::fprintf(stderr, "column 1: %a, loaded %a; chosen: %a, loaded %a\n", first.value(),
                     firstLoaded.value(), chosen.value(), chosenLoaded.value());
        fail("results differ");
    }
    return 0;
}
