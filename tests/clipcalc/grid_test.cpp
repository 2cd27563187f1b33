#include "clipcalc/grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::clipcalc {
namespace {

TEST(Grid, StartsThreeByThreeEmptyPutCellGrowsAndWritesInAnyOrder) {
    Grid g;
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(-1, 0), "");
    g.setRowCount(2);
    g.setColCount(2);
    g.putCell("a", 2, 2);  // skips row 1 and column 1
    g.putCell("b", 1, 1);  // before the stored row
    g.putCell("c", 2, 2);  // overwrite
    g.putCell("d", 4, 2);  // gap in the row
    EXPECT_EQ(g.colCount(), 5);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(1, 1), "b");
    EXPECT_EQ(g.cell(2, 2), "c");
    EXPECT_EQ(g.cell(3, 2), "");  // never written
    EXPECT_EQ(g.cell(4, 2), "d");
    EXPECT_EQ(g.cell(5, 1), "");  // outside the counts
}

TEST(Grid, WalkColumnGivesEveryRowInOrderOrRefuses) {
    Grid g;
    g.putCell("1", 1, 1);
    g.putCell("2", 2, 1);
    g.putCell("3", 1, 2);  // a short row
    g.putCell("45", 2, 3);
    g.setRowCount(5);  // row 4 stored nowhere
    std::vector<std::string> seen;
    const auto collect = [&](const char* p, std::size_t n) { seen.emplace_back(p, n); };
    ASSERT_TRUE(g.walkColumn(2, collect));
    EXPECT_EQ(seen, (std::vector<std::string>{"2", "", "45", ""}));
    seen.clear();
    EXPECT_FALSE(g.walkColumn(0, collect));  // the header column
    EXPECT_FALSE(g.walkColumn(3, collect));  // beyond the count
    g.putCell("9", 1, 1);                    // over a stored cell: kept aside
    EXPECT_FALSE(g.walkColumn(1, collect));
    EXPECT_TRUE(seen.empty());
}

TEST(Grid, EmptyCellsKeepsTheCountsShrinkingDropsCellsBeyondThem) {
    Grid g;
    g.putCell("1", 1, 1);
    g.putCell("2", 2, 1);
    g.putCell("3", 1, 2);
    g.setColCount(2);
    g.setRowCount(2);
    g.setColCount(3);
    g.setRowCount(3);
    EXPECT_EQ(g.cell(1, 1), "1");
    EXPECT_EQ(g.cell(2, 1), "");
    EXPECT_EQ(g.cell(1, 2), "");
    g.putCell("7", 5, 4);
    g.setCell(0, 0, "");
    g.emptyCells();
    EXPECT_EQ(g.colCount(), 6);
    EXPECT_EQ(g.rowCount(), 5);
    EXPECT_EQ(g.cell(1, 1), "");
    EXPECT_EQ(g.cell(5, 4), "");
}

TEST(Grid, ForgetsOnlyAnEmptyLastRow) {
    Grid g;
    g.putCell("", 1, 1);
    g.putCell("", 2, 1);
    g.forgetRowIfEmpty(1);
    g.putCell("9", 1, 1);  // back in reading order
    EXPECT_EQ(g.cell(1, 1), "9");
    EXPECT_EQ(g.cell(2, 1), "");
    g.putCell("5", 1, 2);
    g.forgetRowIfEmpty(2);  // holds text: kept
    EXPECT_EQ(g.cell(1, 2), "5");
}

}  // namespace
}  // namespace corvalo::clipcalc
