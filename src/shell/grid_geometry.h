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

    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int h) { rowHeight_ = h < 1 ? 1 : h; }
    int DefaultColWidth() const { return defaultColWidth_; }
    // Taken by every column from now on, and by columns added later.
    void SetDefaultColWidth(int w);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // New columns take the default width; the scroll origin is kept inside the grid.
    void SetCounts(int cols, int rows);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    void SetOrigin(int leftCol, int topRow);

    // The pixel left of a column / top of a row, or nothing when scrolled away.
    std::optional<int> ColLeft(int col) const;
    std::optional<int> RowTop(int row) const;
    // The cell under a pixel (a grid line belongs to the cell before it), or
    // nothing beyond the last column or row.
    std::optional<CellPos> CellAt(int x, int y) const;
    // The column whose right edge lies within `slack` pixels of x, in the header
    // row: where a drag changes a column's width.
    std::optional<int> ColumnEdgeAt(int x, int y, int slack = 2) const;

    // Scroll limits for a view of this size: the largest origin that still
    // fills the view, at least 1.
    int MaxLeftCol(int viewWidth) const;
    int MaxTopRow(int viewHeight) const;
    int VisibleRows(int viewHeight) const;

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
