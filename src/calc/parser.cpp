#include "calc/parser.h"

#include <algorithm>

namespace corvalo::calc {

namespace {

// A cell counts as a value when its text, trimmed of characters of code 32 or
// below, is not empty.
bool hasValue(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 32; });
}

}  // namespace

void TableParser::FeedWritten(std::size_t n) {
    char* p = grid_.PendingRoom(0);
    std::size_t w = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = p[i];
        if (Keeps(c)) p[w++] = c;
        // A separator inside would be a caller's error; LF is the only one allowed.
    }
    grid_.GrowPending(w);
}

void TableParser::EndCell() {
    const bool value = rowsStored_ == 0 && hasValue(grid_.PendingCell());
    grid_.StorePendingCell(column_, rowsStored_ + 1);
    ++cellCount_;
    if (value) ++valuesInRow_;
    ++column_;
}

void TableParser::EndRow() {
    if (hasValue(grid_.PendingCell())) ++valuesInRow_;
    if (!ignoreEmptyLeadingRows_ || valuesInRow_ > 0 || rowsStored_ > 0) {
        ++rowsStored_;
        grid_.StorePendingCell(column_, rowsStored_);
        ++cellCount_;
    } else {
        grid_.ClearPendingCell();
        grid_.ForgetRowIfEmpty(1);
    }
    column_ = 1;
    valuesInRow_ = 0;
}

std::int64_t ParseTable(std::string_view text, const CalcState& state, Grid& grid) {
    TableParser parser(grid, state.LocaleDecimalSeparator, state.IgnoreFirstRowWhenEmpty);
    for (const char c : text) parser.Feed(c);
    grid.ClearPendingCell();  // a cell not ended by TAB or CR is not stored
    return parser.CellCount();
}

}  // namespace corvalo::calc
