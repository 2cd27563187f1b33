#include "clipcalc/grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::clipcalc {
namespace {

TEST(Grid, StartsThreeByThreeEmptyAndPutCellGrowsIt) {
    Grid g;
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(-1, 0), "");
    EXPECT_EQ(g.cell(1, 1), "");
    g.setRowCount(2);
    g.setColCount(2);
    g.putCell("1", 1, 1);
    g.putCell("2", 2, 1);
    g.putCell("3", 1, 2);
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(1, 1), "1");
    EXPECT_EQ(g.cell(2, 1), "2");
    EXPECT_EQ(g.cell(1, 2), "3");
    EXPECT_EQ(g.cell(2, 2), "");  // never written
    EXPECT_EQ(g.cell(3, 1), "");  // outside the counts
}

TEST(Grid, WritesOutOfReadingOrderAndOverwrites) {
    Grid g;
    g.putCell("a", 2, 2);  // skips row 1 and column 1
    g.putCell("b", 1, 1);  // before the stored row
    g.putCell("c", 2, 2);  // overwrite
    g.putCell("d", 4, 2);  // gap in the row
    EXPECT_EQ(g.cell(1, 1), "b");
    EXPECT_EQ(g.cell(2, 2), "c");
    EXPECT_EQ(g.cell(3, 2), "");
    EXPECT_EQ(g.cell(4, 2), "d");
    EXPECT_EQ(g.colCount(), 5);
}

TEST(Grid, WalkColumnGivesEveryRowInOrder) {
    Grid g;
    g.putCell("1", 1, 1);
    g.putCell("2", 2, 1);
    g.putCell("3", 1, 2);  // a short row
    g.putCell("45", 2, 3);
    g.setRowCount(5);  // row 4 stored nowhere
    std::vector<std::string> seen;
    ASSERT_TRUE(g.walkColumn(2, [&](const char* p, std::size_t n) { seen.emplace_back(p, n); }));
    EXPECT_EQ(seen, (std::vector<std::string>{"2", "", "45", ""}));
}

TEST(Grid, WalkColumnRefusesWhatTheArenaCannotGive) {
    struct Row {
        const char* name;
        std::int32_t col;
        bool aside;
    };
    const Row rows[] = {
        {"header column", 0, false},
        {"beyond the count", 3, false},
        {"a cell kept aside", 1, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Grid g;
        g.putCell("1", 1, 2);
        g.putCell("2", 2, 2);
        if (r.aside) g.putCell("3", 1, 1);  // before the stored row
        bool called = false;
        EXPECT_FALSE(g.walkColumn(r.col, [&](const char*, std::size_t) { called = true; }));
        EXPECT_FALSE(called);
    }
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
