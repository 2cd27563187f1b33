#include "shell/grid_geometry.h"

#include <gtest/gtest.h>

namespace corvalo::shell {
namespace {

// Row height 18, header column 18, data columns 64: a cell and its line take
// 19 px down and 65 px across.
GridGeometry make(int cols, int rows) {
    GridGeometry g;
    g.setRowHeight(18);
    g.setDefaultColWidth(64);
    g.setCounts(cols, rows);
    g.setColWidth(0, 18);
    return g;
}

TEST(GridGeometry, CellUnderPixel) {
    GridGeometry g = make(4, 1'000'001);
    const struct {
        const char* name;
        int topRow;
        int x;
        int y;
        std::optional<CellPos> cell;
    } rows[] = {
        {"corner", 1, 0, 0, CellPos{0, 0}},
        {"line after the corner belongs to it", 1, 18, 18, CellPos{0, 0}},
        {"first data cell", 1, 19, 19, CellPos{1, 1}},
        {"third column, second row", 1, 19 + 2 * 65 + 5, 2 * 19 + 3, CellPos{3, 2}},
        {"row header", 1, 3, 19 * 5, CellPos{0, 5}},
        {"beyond the last column", 1, 19 + 3 * 65 + 1, 30, std::nullopt},
        {"scrolled to the millionth row", 999'990, 40, 19 * 11, CellPos{1, 1'000'000}},
        {"below the last row", 999'990, 40, 19 * 12, std::nullopt},
        {"header row stays when scrolled", 999'990, 40, 5, CellPos{1, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        g.setOrigin(1, row.topRow);
        EXPECT_EQ(g.cellAt(row.x, row.y), row.cell);
    }
}

TEST(GridGeometry, ScrolledColumnsAndEdges) {
    GridGeometry g = make(6, 3);
    g.setOrigin(3, 1);
    EXPECT_EQ(g.colLeft(2), std::nullopt);
    EXPECT_EQ(g.colLeft(3), 19);
    EXPECT_EQ(g.cellAt(19 + 65, 20), (CellPos{4, 1}));
    EXPECT_EQ(g.columnEdgeAt(18, 5), 0);
    EXPECT_EQ(g.columnEdgeAt(19 + 64, 5), 3);
    EXPECT_EQ(g.columnEdgeAt(19 + 30, 5), std::nullopt);   // mid-cell
    EXPECT_EQ(g.columnEdgeAt(19 + 64, 25), std::nullopt);  // edges move in the header row only
}

TEST(GridGeometry, ScrollLimitsFillTheView) {
    GridGeometry g = make(11, 1'000'001);
    EXPECT_EQ(g.visibleRows(19 * 11), 10);
    EXPECT_EQ(g.maxTopRow(19 * 11), 1'000'001 - 10);
    EXPECT_EQ(g.maxLeftCol(19 + 3 * 65), 8);  // columns 8, 9, 10 fill three places
    EXPECT_EQ(make(3, 3).maxTopRow(500), 1);
    g.setOrigin(50, 5'000'000);
    EXPECT_EQ(g.leftCol(), 10);
    EXPECT_EQ(g.topRow(), 1'000'000);
}

TEST(GridGeometry, NewColumnsTakeTheDefaultWidth) {
    GridGeometry g = make(3, 3);
    g.setColWidth(1, 100);
    g.setCounts(5, 3);
    EXPECT_EQ(g.colWidth(1), 100);
    EXPECT_EQ(g.colWidth(4), 64);
}

}  // namespace
}  // namespace corvalo::shell
