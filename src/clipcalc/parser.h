#pragma once

#include <cstdint>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"

namespace corvalo::clipcalc {

// Only the characters of a number reach a cell: digits, '-', 'E', 'e' and the
// locale's decimal separator ('+', ',', blanks and other letters are left out).
inline bool keptInCell(char c, char decimal) {
    return (c >= '0' && c <= '9') || c == '-' || c == 'E' || c == 'e' || c == decimal;
}

// The table parser's rules for ending cells and rows, over a store that holds
// the pending cell's text:
//   bool pendingHasValue()               the pending text, trimmed, is not empty
//   void storeCell(col, row)             putCell of the pending text; a new pending cell
//   void dropRow()                       forget the pending text of a dropped row
// TAB ends a cell, CR ends a row; rows without a value before the first stored
// row are dropped when asked.
template <class Store>
class TableRows {
  public:
    TableRows(Store& store, bool ignoreFirstRowWhenEmpty)
        : store_(store), ignoreEmptyLeadingRows_(ignoreFirstRowWhenEmpty) {}

    void endCell() {
        const bool value = rowsStored_ == 0 && store_.pendingHasValue();
        store_.storeCell(column_, rowsStored_ + 1);
        ++cellCount_;
        if (value) ++valuesInRow_;
        ++column_;
    }

    void endRow() {
        if (store_.pendingHasValue()) ++valuesInRow_;
        if (!ignoreEmptyLeadingRows_ || valuesInRow_ > 0 || rowsStored_ > 0) {
            ++rowsStored_;
            store_.storeCell(column_, rowsStored_);
            ++cellCount_;
        } else {
            store_.dropRow();
        }
        column_ = 1;
        valuesInRow_ = 0;
    }

    std::int64_t cellCount() const { return cellCount_; }

  private:
    Store& store_;
    const bool ignoreEmptyLeadingRows_;
    std::int32_t column_ = 1;
    std::int32_t rowsStored_ = 0;
    std::int32_t valuesInRow_ = 0;
    std::int64_t cellCount_ = 0;
};

// A cell counts as a value when its text, trimmed of characters of code 32 or
// below, is not empty.
bool hasValue(std::string_view cell);

// Fills the grid from cleaned text that ends with LF and returns the number of
// cells stored. The caller has emptied the grid and set both counts to 2.
std::int64_t parseTable(std::string_view text, const CalcState& state, Grid& grid);

}  // namespace corvalo::clipcalc
