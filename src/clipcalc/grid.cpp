#include "clipcalc/grid.h"

#include <limits>
#include <vector>

#include "platform/error.h"

namespace corvalo::clipcalc {

char* Grid::pendingRoom(std::size_t extra) {
    const std::size_t need = text_.size() + pending_ + extra;
    // Cell offsets are 32-bit; a text this large cannot come from a clipboard.
    if (need > std::numeric_limits<std::uint32_t>::max()) throw Error("Out of memory");
    text_.reserve(need + kReadAhead);
    return text_.data() + text_.size() + pending_;
}

void Grid::commitPending() {
    textOnly_.reset(cellStart_.size());
    cellStart_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_.resizeUninitialized(text_.size() + pending_);
    pending_ = 0;
}

void Grid::storePendingCell(std::int32_t col, std::int32_t row) {
    if (row + 1 > rowCount_) rowCount_ = row + 1;
    if (col + 1 > colCount_) colCount_ = col + 1;
    if (!aside_.empty()) aside_.erase({col, row});

    const std::int32_t rows = storedRows();
    const auto lastLen =
        rows == 0 ? 0
                  : static_cast<std::int32_t>(cellStart_.size() -
                                              rowFirst_[static_cast<std::size_t>(rows - 1)]);
    if (col >= 1 && row >= 1 && (row > rows || (row == rows && col > lastLen))) {
        // In reading order: later row, or later column of the last row. Rows and
        // cells skipped on the way are stored empty.
        for (std::int32_t r = rows; r < row; ++r) {
            rowFirst_.push_back(static_cast<std::uint32_t>(cellStart_.size()));
        }
        const std::int32_t have = row > rows ? 0 : lastLen;
        for (std::int32_t c = have + 1; c < col; ++c) {
            cellStart_.push_back(static_cast<std::uint32_t>(text_.size()));
        }
        commitPending();
        return;
    }
    aside_[{col, row}] = std::string(pendingCell());
    pending_ = 0;
}

void Grid::forgetRowIfEmpty(std::int32_t row) {
    if (row != storedRows() || row < 1) return;
    const std::size_t first = rowFirst_[static_cast<std::size_t>(row - 1)];
    const std::size_t textStart = first < cellStart_.size() ? cellStart_[first] : text_.size();
    if (textStart != text_.size()) return;  // some cell of the row holds text
    for (const auto& [key, text] : aside_) {
        if (key.second == row && !text.empty()) return;
    }
    cellStart_.resizeUninitialized(first);
    textOnly_.truncate(first);
    rowFirst_.resizeUninitialized(rowFirst_.size() - 1);
}

bool Grid::textOnly(std::int32_t col, std::int32_t row) const {
    if (col < 1 || row < 1 || col >= colCount_ || row >= rowCount_ || row > storedRows()) {
        return false;
    }
    if (!aside_.empty() && aside_.count({col, row}) != 0) return false;
    const auto r = static_cast<std::size_t>(row - 1);
    const std::size_t i = rowFirst_[r] + static_cast<std::size_t>(col - 1);
    return i < rowEnd(r) && textOnly_.test(i);
}

void Grid::setCell(std::int32_t col, std::int32_t row, std::string_view text) {
    if (col < 0 || row < 0) return;
    if (pending_ == 0 && col >= 1 && row >= 1) {
        char* p = pendingRoom(text.size());
        if (!text.empty()) std::memcpy(p, text.data(), text.size());
        pending_ = text.size();
        const std::int32_t rc = rowCount_, cc = colCount_;
        storePendingCell(col, row);
        rowCount_ = rc;  // unlike putCell, a plain write does not grow the counts
        colCount_ = cc;
        return;
    }
    aside_[{col, row}] = std::string(text);
}

void Grid::putCell(std::string_view value, std::int32_t col, std::int32_t row) {
    if (row + 1 > rowCount_) rowCount_ = row + 1;
    if (col + 1 > colCount_) colCount_ = col + 1;
    setCell(col, row, value);
}

void Grid::emptyCells() {
    text_.clear();
    pending_ = 0;
    cellStart_.clear();
    rowFirst_.clear();
    textOnly_.clear();
    aside_.clear();
}

void Grid::takeOffsets(platform::BigBuffer<std::uint32_t>& cellStart,
                       platform::BigBuffer<std::uint32_t>& rowFirst, CellBits& textOnly) {
    emptyCells();
    cellStart = std::move(cellStart_);
    rowFirst = std::move(rowFirst_);
    textOnly = std::move(textOnly_);
}

platform::BigBuffer<char> Grid::takeText() {
    emptyCells();
    return std::move(text_);
}

void Grid::assign(platform::BigBuffer<char>&& text, platform::BigBuffer<std::uint32_t>&& cellStart,
                  platform::BigBuffer<std::uint32_t>&& rowFirst, CellBits&& textOnly,
                  std::int32_t cols, std::int32_t rows) {
    text_ = std::move(text);
    cellStart_ = std::move(cellStart);
    rowFirst_ = std::move(rowFirst);
    textOnly_ = std::move(textOnly);
    textOnly_.truncate(cellStart_.size());
    pending_ = 0;
    aside_.clear();
    colCount_ = cols;
    rowCount_ = rows;
}

void Grid::dropStoredBeyond(std::int32_t cols, std::int32_t rows) {
    for (auto it = aside_.begin(); it != aside_.end();) {
        it = (it->first.first >= cols || it->first.second >= rows) ? aside_.erase(it)
                                                                   : std::next(it);
    }
    pending_ = 0;
    if (rowFirst_.empty()) return;
    // Rows beyond the count go at once; cells beyond the column count need a rebuild.
    if (storedRows() > rows - 1) {
        const std::size_t keepRows = rows > 1 ? static_cast<std::size_t>(rows - 1) : 0;
        const std::size_t keepCells =
            keepRows < rowFirst_.size() ? rowFirst_[keepRows] : cellStart_.size();
        text_.resizeUninitialized(keepCells < cellStart_.size() ? cellStart_[keepCells]
                                                                : text_.size());
        cellStart_.resizeUninitialized(keepCells);
        textOnly_.truncate(keepCells);
        rowFirst_.resizeUninitialized(keepRows);
    }
    bool tooWide = false;
    for (std::size_t r = 0; r < rowFirst_.size() && !tooWide; ++r) {
        tooWide = rowEnd(r) - rowFirst_[r] > static_cast<std::size_t>(cols > 1 ? cols - 1 : 0);
    }
    if (!tooWide) return;
    std::vector<std::vector<std::pair<std::string, bool>>> keep(rowFirst_.size());
    for (std::size_t r = 0; r < rowFirst_.size(); ++r) {
        for (std::size_t i = rowFirst_[r];
             i < rowEnd(r) && i - rowFirst_[r] + 1 < static_cast<std::size_t>(cols); ++i) {
            keep[r].emplace_back(
                std::string(text_.data() + cellStart_[i], cellEnd(i) - cellStart_[i]),
                textOnly_.test(i));
        }
    }
    auto aside = std::move(aside_);
    emptyCells();
    for (std::size_t r = 0; r < keep.size(); ++r) {
        for (std::size_t c = 0; c < keep[r].size(); ++c) {
            setCell(static_cast<std::int32_t>(c + 1), static_cast<std::int32_t>(r + 1),
                    keep[r][c].first);
            if (keep[r][c].second) textOnly_.set(cellStart_.size() - 1);
        }
    }
    aside_ = std::move(aside);
}

void Grid::setColCount(std::int32_t n) {
    if (n < 1) n = 1;
    if (n < colCount_) dropStoredBeyond(n, rowCount_);
    colCount_ = n;
}

void Grid::setRowCount(std::int32_t n) {
    if (n < 1) n = 1;
    if (n < rowCount_) dropStoredBeyond(colCount_, n);
    rowCount_ = n;
}

std::size_t Grid::storageBytes() const {
    return text_.capacity() + cellStart_.capacity() * sizeof(std::uint32_t) +
           rowFirst_.capacity() * sizeof(std::uint32_t);
}

}  // namespace corvalo::clipcalc
