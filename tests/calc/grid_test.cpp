#include "calc/grid.h"

#include <gtest/gtest.h>

namespace corvalo::calc {
namespace {

TEST(Grid, StartsThreeByThreeAndEmpty) {
    Grid g;
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 3);
    for (int c = -1; c < 5; ++c) {
        for (int r = -1; r < 5; ++r) EXPECT_EQ(g.Cell(c, r), "") << c << "," << r;
    }
}

TEST(Grid, PutCellGrowsAndReadsBack) {
    Grid g;
    g.SetRowCount(2);
    g.SetColCount(2);
    g.PutCell("1", 1, 1);
    g.PutCell("2", 2, 1);
    g.PutCell("3", 1, 2);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Cell(1, 1), "1");
    EXPECT_EQ(g.Cell(2, 1), "2");
    EXPECT_EQ(g.Cell(1, 2), "3");
    EXPECT_EQ(g.Cell(2, 2), "");  // never written
    EXPECT_EQ(g.Cell(3, 1), "");  // outside the counts
}

TEST(Grid, WritesOutOfReadingOrderAndOverwrites) {
    Grid g;
    g.PutCell("a", 2, 2);  // skips row 1 and column 1
    g.PutCell("b", 1, 1);  // before the stored row
    g.PutCell("c", 2, 2);  // overwrite
    g.PutCell("d", 4, 2);  // gap in the row
    EXPECT_EQ(g.Cell(1, 1), "b");
    EXPECT_EQ(g.Cell(2, 2), "c");
    EXPECT_EQ(g.Cell(3, 2), "");
    EXPECT_EQ(g.Cell(4, 2), "d");
    EXPECT_EQ(g.ColCount(), 5);
}

TEST(Grid, ResetEmptiesCellsAndKeepsCounts) {
    Grid g;
    g.PutCell("7", 5, 4);
    g.SetCell(0, 0, "");
    g.ResetGrid();
    EXPECT_EQ(g.ColCount(), 6);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cell(5, 4), "");
}

TEST(Grid, ShrinkingDropsCellsBeyondTheCounts) {
    Grid g;
    g.PutCell("1", 1, 1);
    g.PutCell("2", 2, 1);
    g.PutCell("3", 1, 2);
    g.SetColCount(2);
    g.SetRowCount(2);
    g.SetColCount(3);
    g.SetRowCount(3);
    EXPECT_EQ(g.Cell(1, 1), "1");
    EXPECT_EQ(g.Cell(2, 1), "");
    EXPECT_EQ(g.Cell(1, 2), "");
}

TEST(Grid, ForgetsOnlyAnEmptyLastRow) {
    Grid g;
    g.PutCell("", 1, 1);
    g.PutCell("", 2, 1);
    g.ForgetRowIfEmpty(1);
    g.PutCell("9", 1, 1);  // back in reading order
    EXPECT_EQ(g.Cell(1, 1), "9");
    EXPECT_EQ(g.Cell(2, 1), "");

    g.PutCell("5", 1, 2);
    g.ForgetRowIfEmpty(2);  // holds text: kept
    EXPECT_EQ(g.Cell(1, 2), "5");
}

}  // namespace
}  // namespace corvalo::calc
