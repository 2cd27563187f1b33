#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace corvalo::shell {

struct CellPos {
    int col = 0;
    int row = 0;
    bool operator==(const CellPos&) const = default;
};

// Where the cells of the grid lie on screen: one fixed header row and column,
// one pixel of grid line after every cell, uniform row height, a width per
// column. Scrolling moves whole columns and rows: leftCol and topRow are the
// first data column and row shown after the headers. Nothing is per row, so a
// million rows cost nothing here.
class GridGeometry {
  public:
    static constexpr int kLineWidth = 1;

    int rowHeight() const { return rowHeight_; }
    void setRowHeight(int h) { rowHeight_ = h < 1 ? 1 : h; }
    int defaultColWidth() const { return defaultColWidth_; }
    // Taken by every column from now on, and by columns added later.
    void setDefaultColWidth(int w);

    int colCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    // New columns take the default width; the scroll origin is kept inside the grid.
    void setCounts(int cols, int rows);

    int colWidth(int col) const;
    void setColWidth(int col, int width);

    int leftCol() const { return leftCol_; }
    int topRow() const { return topRow_; }
    void setOrigin(int leftCol, int topRow);

    // The pixel left of a column / top of a row, or nothing when scrolled away.
    std::optional<int> colLeft(int col) const;
    std::optional<int> rowTop(int row) const;
    // The cell under a pixel (a grid line belongs to the cell before it), or
    // nothing beyond the last column or row.
    std::optional<CellPos> cellAt(int x, int y) const;
    // The column whose right edge lies within `slack` pixels of x, in the header
    // row: where a drag changes a column's width.
    std::optional<int> columnEdgeAt(int x, int y, int slack = 2) const;

    // Scroll limits for a view of this size: the largest origin that still
    // fills the view, at least 1.
    int maxLeftCol(int viewWidth) const;
    int maxTopRow(int viewHeight) const;
    int visibleRows(int viewHeight) const;

  private:
    int rowHeight_ = 18;
    int defaultColWidth_ = 64;
    int colCount_ = 3;
    int rowCount_ = 3;
    int leftCol_ = 1;
    int topRow_ = 1;
    std::vector<int> colWidths_ = std::vector<int>(3, 64);
};

}  // namespace corvalo::shell
