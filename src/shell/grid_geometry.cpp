#include "shell/grid_geometry.h"

#include <algorithm>

namespace corvalo::shell {

void GridGeometry::setDefaultColWidth(int w) {
    defaultColWidth_ = std::max(w, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
}

void GridGeometry::setCounts(int cols, int rows) {
    colCount_ = std::max(cols, 1);
    rowCount_ = std::max(rows, 1);
    colWidths_.resize(static_cast<std::size_t>(colCount_), defaultColWidth_);
    setOrigin(leftCol_, topRow_);
}

int GridGeometry::colWidth(int col) const {
    if (col < 0 || col >= colCount_) return defaultColWidth_;
    return colWidths_[static_cast<std::size_t>(col)];
}

void GridGeometry::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount_) return;
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
}

void GridGeometry::setOrigin(int leftCol, int topRow) {
    leftCol_ = std::clamp(leftCol, 1, std::max(colCount_ - 1, 1));
    topRow_ = std::clamp(topRow, 1, std::max(rowCount_ - 1, 1));
}

std::optional<int> GridGeometry::colLeft(int col) const {
    if (col < 0 || col >= colCount_) return std::nullopt;
    if (col == 0) return 0;
    if (col < leftCol_) return std::nullopt;
    int x = colWidth(0) + kLineWidth;
    for (int c = leftCol_; c < col; ++c) x += colWidth(c) + kLineWidth;
    return x;
}

std::optional<int> GridGeometry::rowTop(int row) const {
    if (row < 0 || row >= rowCount_) return std::nullopt;
    if (row == 0) return 0;
    if (row < topRow_) return std::nullopt;
    return (row - topRow_ + 1) * (rowHeight_ + kLineWidth);
}

std::optional<CellPos> GridGeometry::cellAt(int x, int y) const {
    if (x < 0 || y < 0) return std::nullopt;
    const int pitch = rowHeight_ + kLineWidth;
    int row = y / pitch;
    if (row > 0) row += topRow_ - 1;
    if (row >= rowCount_) return std::nullopt;

    int right = colWidth(0) + kLineWidth;
    if (x < right) return CellPos{0, row};
    for (int c = leftCol_; c < colCount_; ++c) {
        right += colWidth(c) + kLineWidth;
        if (x < right) return CellPos{c, row};
    }
    return std::nullopt;
}

std::optional<int> GridGeometry::columnEdgeAt(int x, int y, int slack) const {
    if (y < 0 || y >= rowHeight_ || x < 0) return std::nullopt;
    int edge = colWidth(0);
    if (x >= edge - slack && x <= edge + slack) return 0;
    for (int c = leftCol_; c < colCount_ && edge <= x + slack; ++c) {
        edge += kLineWidth + colWidth(c);
        if (x >= edge - slack && x <= edge + slack) return c;
    }
    return std::nullopt;
}

int GridGeometry::maxLeftCol(int viewWidth) const {
    int room = viewWidth - colWidth(0) - kLineWidth;
    int c = colCount_ - 1;
    while (c > 1 && room - (colWidth(c) + kLineWidth) >= colWidth(c - 1) + kLineWidth) {
        room -= colWidth(c) + kLineWidth;
        --c;
    }
    return std::max(c, 1);
}

int GridGeometry::visibleRows(int viewHeight) const {
    return std::max((viewHeight - rowHeight_ - kLineWidth) / (rowHeight_ + kLineWidth), 0);
}

int GridGeometry::maxTopRow(int viewHeight) const {
    return std::max(rowCount_ - visibleRows(viewHeight), 1);
}

}  // namespace corvalo::shell
