#include "clipcalc/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalo::clipcalc {
namespace {

struct Parsed {
    std::int64_t count;
    Grid grid;
};

Parsed parse(const std::string& text, bool ignoreEmptyLeadingRows = true, char decimal = '.') {
    CalcState s;
    s.ignoreFirstRowWhenEmpty = ignoreEmptyLeadingRows;
    s.localeDecimalSeparator = decimal;
    Parsed p{0, Grid()};
    p.grid.emptyCells();
    p.grid.setRowCount(2);
    p.grid.setColCount(2);
    p.count = parseTable(text, s, p.grid);
    return p;
}

// The data cells row by row, "|" between cells and "/" between rows.
std::string dump(const Grid& g) {
    std::string out;
    for (int r = 1; r < g.rowCount(); ++r) {
        if (r > 1) out += "/";
        for (int c = 1; c < g.colCount(); ++c) {
            if (c > 1) out += "|";
            out += g.cell(c, r);
        }
    }
    return out;
}

struct Row {
    const char* name;
    std::string text;
    bool ignore;
    std::int64_t count;
    int cols, rows;
    std::string cells;
};

TEST(ParseTable, Table) {
    const Row rows[] = {
        {"two by two", "1\t2\r\n3\t4\r\n", true, 4, 3, 3, "1|2/3|4"},
        {"one cell", "5\r\n", true, 1, 2, 2, "5"},
        {"number and empty", "5\t\r\n", true, 2, 3, 2, "5|"},
        {"empty first row dropped", "\t\r\n7\t8\r\n", true, 3, 3, 2, "7|8"},
        {"empty first row kept", "\t\r\n7\t8\r\n", false, 4, 3, 3, "|/7|8"},
        {"header words only", "\t\r\n", true, 1, 2, 2, ""},
        {"every empty leading row dropped", "\r\n\t\t\r\n\r\n1\r\n", true, 3, 3, 2, "1|"},
        {"ragged rows", "1\t2\t3\r\n4\r\n", true, 4, 4, 3, "1|2|3/4||"},
        {"LF neither ends cell nor row", "1\n2\r\n", true, 1, 2, 2, "12"},
        {"plus left out", "1.5E+3\r\n", true, 1, 2, 2, "1.5E3"},
        {"unended cell not stored", "1\t2", true, 1, 2, 2, "1"},
        {"no TAB or CR", "123", true, 0, 2, 2, ""},
        {"empty rows after data are kept", "1\r\n\r\n2\r\n", true, 3, 2, 4, "1//2"},
        {"only CRs", "\r\r\r", true, 0, 2, 2, ""},
        {"only CRs kept", "\r\r\r", false, 3, 2, 4, "//"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const Parsed p = parse(r.text, r.ignore);
        EXPECT_EQ(p.count, r.count);
        EXPECT_EQ(p.grid.colCount(), r.cols);
        EXPECT_EQ(p.grid.rowCount(), r.rows);
        EXPECT_EQ(dump(p.grid), r.cells);
    }
}

TEST(ParseTable, KeepsOnlyTheLocaleDecimalSeparator) {
    EXPECT_EQ(dump(parse("1,5\t2.5\r\n", true, ',').grid), "1,5|25");
    EXPECT_EQ(dump(parse("1,5\t2.5\r\n", true, '.').grid), "15|2.5");
}

TEST(ParseTable, DroppedRowIsOverwrittenByTheNextStoredRow) {
    // The header row stores three empty cells in row 1; the data row overwrites two.
    const Parsed p = parse("\t\t\t\r\n1\t2\r\n");
    EXPECT_EQ(p.count, 5);
    EXPECT_EQ(p.grid.colCount(), 4);
    EXPECT_EQ(dump(p.grid), "1|2|");
}

}  // namespace
}  // namespace corvalo::clipcalc
