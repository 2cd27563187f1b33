#include "shell/grid_geometry.h"

#include <gtest/gtest.h>

#include <tuple>

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
    // name, top row, x, y, the cell there
    const std::tuple<const char*, int, int, int, std::optional<CellPos>> rows[] = {
        {"line after the corner belongs to it", 1, 18, 18, CellPos{0, 0}},
        {"third column, second row", 1, 19 + 2 * 65 + 5, 2 * 19 + 3, CellPos{3, 2}},
        {"beyond the last column", 1, 19 + 3 * 65 + 1, 30, std::nullopt},
        {"scrolled to the millionth row", 999'990, 40, 19 * 11, CellPos{1, 1'000'000}},
        {"below the last row", 999'990, 40, 19 * 12, std::nullopt},
        {"header row stays when scrolled", 999'990, 40, 5, CellPos{1, 0}},
    };
    for (const auto& [name, topRow, x, y, cell] : rows) {
        SCOPED_TRACE(name);
        g.setOrigin(1, topRow);
        EXPECT_EQ(g.cellAt(x, y), cell);
    }
}

TEST(GridGeometry, ScrolledColumnsEdgesAndLimits) {
    GridGeometry g = make(6, 3);
    g.setOrigin(3, 1);
    EXPECT_EQ(g.colLeft(2), std::nullopt);
    EXPECT_EQ(g.colLeft(3), 19);
    EXPECT_EQ(g.cellAt(19 + 65, 20), (CellPos{4, 1}));
    EXPECT_EQ(g.columnEdgeAt(18, 5), 0);
    EXPECT_EQ(g.columnEdgeAt(19 + 64, 5), 3);
    EXPECT_EQ(g.columnEdgeAt(19 + 30, 5), std::nullopt);   // mid-cell
    EXPECT_EQ(g.columnEdgeAt(19 + 64, 25), std::nullopt);  // edges move in the header row only
    EXPECT_EQ(g.maxTopRow(500), 1);

    g = make(11, 1'000'001);
    EXPECT_EQ(g.maxTopRow(19 * 11), 1'000'001 - 10);
    EXPECT_EQ(g.maxLeftCol(19 + 3 * 65), 8);  // columns 8, 9, 10 fill three places
    g.setOrigin(50, 5'000'000);
    EXPECT_EQ(g.leftCol(), 10);
    EXPECT_EQ(g.topRow(), 1'000'000);
}

}  // namespace
}  // namespace corvalo::shell
