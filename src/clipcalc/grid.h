#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "clipcalc/cell_bits.h"
#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

// The grid of text cells, addressed (column, row) from 0. Column 0 and row 0 are
// the empty header cells; colCount and rowCount include them. A cell outside the
// counts reads as the empty text.
//
// A paste can hold millions of cells, so the texts live in one arena with one
// 32-bit offset per cell and one per row, filled in reading order; a cell written
// out of that order (rare: only by hand, or over a dropped leading row) is kept
// aside in a small map that takes precedence.
class Grid {
  public:
    Grid() = default;

    std::int32_t colCount() const { return colCount_; }
    std::int32_t rowCount() const { return rowCount_; }
    // Counts below 1 are taken as 1. Shrinking drops the cells beyond the new counts.
    void setColCount(std::int32_t n);
    void setRowCount(std::int32_t n);

    std::string_view cell(std::int32_t col, std::int32_t row) const {
        if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return {};
        if (!aside_.empty()) {
            if (auto it = aside_.find({col, row}); it != aside_.end()) return it->second;
        }
        if (col == 0 || row == 0 || row > storedRows()) return {};
        const auto r = static_cast<std::size_t>(row - 1);
        const std::size_t i = rowFirst_[r] + static_cast<std::size_t>(col - 1);
        if (i >= rowEnd(r)) return {};
        return {text_.data() + cellStart_[i], cellEnd(i) - cellStart_[i]};
    }
    void setCell(std::int32_t col, std::int32_t row, std::string_view text);

    // The cell's clipboard text held characters but no number reached the cell
    // («n/a», «Total» clean to an empty cell). Only a load sets it; a cell written
    // by hand never has it.
    bool textOnly(std::int32_t col, std::int32_t row) const;

    // Every cell empty; the counts stay as they are. Keeps the memory for the next paste.
    void emptyCells();

    // Stores one cell, first growing rowCount to row + 1 and colCount to col + 1
    // where they are smaller. col and row are 1 or more and below INT32_MAX.
    void putCell(std::string_view value, std::int32_t col, std::int32_t row);

    // Building cell by cell without a copy: the text of the pending cell is written
    // straight into the arena, then stored with putCell's rules.
    //
    // Room for `extra` more bytes after the pending cell's text; returns where they go.
    char* pendingRoom(std::size_t extra);
    void growPending(std::size_t n) { pending_ += n; }
    std::string_view pendingCell() const { return {text_.data() + text_.size(), pending_}; }
    void clearPendingCell() { pending_ = 0; }
    void storePendingCell(std::int32_t col, std::int32_t row);
    // Cells that are all empty are the same as no cells; forgetting a row of them
    // (the last stored row only) keeps later writes to it in reading order.
    void forgetRowIfEmpty(std::int32_t row);

    // Takes over a finished table in reading order: the cell texts text[0, size),
    // the offset of each cell's text and, for each data row, the index of its
    // first cell; the textOnly bits by cell index; and the counts. The grid's own
    // storage goes.
    void assign(platform::BigBuffer<char>&& text, platform::BigBuffer<std::uint32_t>&& cellStart,
                platform::BigBuffer<std::uint32_t>&& rowFirst, CellBits&& textOnly,
                std::int32_t cols, std::int32_t rows);

    // Readable bytes after every cell text that walkColumn hands over.
    static constexpr std::size_t kReadAhead = 16;

    // Calls f(text, length) for the cells (col, 1) to (col, rowCount - 1) in order,
    // straight from the arena, each text followed by kReadAhead readable bytes;
    // f(text, length, textOnly) when f takes the cell's textOnly bit too.
    // Returns false, calling nothing, when a cell is kept aside or col is no
    // data column: then cell() is the way.
    template <class F>
    bool walkColumn(std::int32_t col, F&& f) const {
        if (!aside_.empty() || col < 1 || col >= colCount_) return false;
        if (text_.capacity() < text_.size() + kReadAhead) return false;
        const char* const text = text_.data();
        constexpr bool kWithBit = std::is_invocable_v<F, const char*, std::size_t, bool>;
        const auto emptyCell = [&] {
            if constexpr (kWithBit) {
                f(text, std::size_t{0}, false);
            } else {
                f(text, std::size_t{0});
            }
        };
        const std::size_t cells = cellStart_.size();
        const std::size_t rows = rowFirst_.size();
        const std::size_t textSize = text_.size();
        // Held in registers: f's stores could otherwise be taken to change the buffers.
        const std::uint32_t* const cellStart = cellStart_.data();
        const std::uint32_t* const rowFirst = rowFirst_.data();
        const auto c = static_cast<std::size_t>(col - 1);
        for (std::size_t r = 0; r < rows; ++r) {
            const std::size_t i = rowFirst[r] + c;
            const std::size_t end = r + 1 < rows ? rowFirst[r + 1] : cells;
            if (i < end) {
                const std::size_t last = i + 1 < cells ? cellStart[i + 1] : textSize;
                if constexpr (kWithBit) {
                    f(text + cellStart[i], last - cellStart[i], textOnly_.test(i));
                } else {
                    f(text + cellStart[i], last - cellStart[i]);
                }
            } else {
                emptyCell();
            }
        }
        for (std::int32_t r = storedRows() + 1; r < rowCount_; ++r) emptyCell();
        return true;
    }

    // Where the arena of cell texts starts: the texts walkColumn hands over lie after it.
    const char* arenaBegin() const { return text_.data(); }

    // The grid's storage, emptied first and handed over to be filled again (the
    // grid keeps none of it): the cell offsets and textOnly bits, and the text arena.
    void takeOffsets(platform::BigBuffer<std::uint32_t>& cellStart,
                     platform::BigBuffer<std::uint32_t>& rowFirst, CellBits& textOnly);
    platform::BigBuffer<char> takeText();

    // Bytes held for cell texts and offsets (for the memory figures).
    std::size_t storageBytes() const;

  private:
    std::int32_t storedRows() const { return static_cast<std::int32_t>(rowFirst_.size()); }
    std::size_t rowEnd(std::size_t r) const {
        return r + 1 < rowFirst_.size() ? rowFirst_[r + 1] : cellStart_.size();
    }
    std::size_t cellEnd(std::size_t i) const {
        return i + 1 < cellStart_.size() ? cellStart_[i + 1] : text_.size();
    }
    void commitPending();
    void dropStoredBeyond(std::int32_t cols, std::int32_t rows);

    std::int32_t colCount_ = 3;
    std::int32_t rowCount_ = 3;
    platform::BigBuffer<char> text_;                // stored cell texts; the pending one follows
    std::size_t pending_ = 0;                       // length of the pending cell's text
    platform::BigBuffer<std::uint32_t> cellStart_;  // arena offset of each stored cell
    platform::BigBuffer<std::uint32_t> rowFirst_;   // index of row r's first cell (r from 1)
    CellBits textOnly_;                             // by index into cellStart_
    std::map<std::pair<std::int32_t, std::int32_t>, std::string> aside_;  // (col, row) -> text
};

}  // namespace corvalo::clipcalc
