#pragma once

#include <cstdint>
#include <string_view>

#include "calc/calc_state.h"
#include "calc/grid.h"

namespace corvalo::calc {

// The table parser's reading state: TAB ends a cell, CR ends a row, and only the
// characters of a number (digits, '-', 'E', 'e' and the decimal separator) reach
// a cell. Leading rows without a value are dropped when asked.
class TableParser {
public:
    TableParser(Grid& grid, char decimal, bool ignoreFirstRowWhenEmpty)
        : grid_(grid), decimal_(decimal), ignoreEmptyLeadingRows_(ignoreFirstRowWhenEmpty) {}

    bool Keeps(char c) const {
        return (c >= '0' && c <= '9') || c == '-' || c == 'E' || c == 'e' || c == decimal_;
    }

    // One character of cleaned text.
    void Feed(char c) {
        if (Keeps(c)) *grid_.PendingRoom(1) = c, grid_.GrowPending(1);
        if (c == '\r') EndRow();
        if (c == '\t') EndCell();
    }

    // `n` characters of cleaned text already written at PendingRoom(), none of them
    // TAB or CR. Drops the ones a cell does not keep.
    void FeedWritten(std::size_t n);

    void EndCell();
    void EndRow();

    std::int64_t CellCount() const { return cellCount_; }

private:
    Grid& grid_;
    const char decimal_;
    const bool ignoreEmptyLeadingRows_;
    std::int32_t column_ = 1;
    std::int32_t rowsStored_ = 0;
    std::int32_t valuesInRow_ = 0;
    std::int64_t cellCount_ = 0;
};

// Fills the grid from cleaned text that ends with LF and returns the number of
// cells stored. The caller has emptied the grid and set both counts to 2.
std::int64_t ParseTable(std::string_view text, const CalcState& state, Grid& grid);

// Stores one cell, growing the grid first when needed (col, row >= 1).
inline void PutCell(Grid& grid, std::string_view value, std::int32_t col, std::int32_t row) {
    grid.PutCell(value, col, row);
}

}  // namespace corvalo::calc
