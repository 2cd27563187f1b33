#include "clipcalc/parser.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::clipcalc {
namespace {

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

TEST(ParseTable, Table) {
    struct Row {
        const char* name;
        std::string text;
        bool ignore;
        std::int64_t count;
        int cols, rows;
        std::string cells;
        char decimal = '.';
    };
    const Row rows[] = {
        {"two by two", "1\t2\r\n3\t4\r\n", true, 4, 3, 3, "1|2/3|4"},
        {"empty first row dropped", "\t\r\n7\t8\r\n", true, 3, 3, 2, "7|8"},
        {"empty first row kept", "\t\r\n7\t8\r\n", false, 4, 3, 3, "|/7|8"},
        {"header words only", "\t\r\n", true, 1, 2, 2, ""},
        {"every empty leading row dropped", "\r\n\t\t\r\n\r\n1\r\n", true, 3, 3, 2, "1|"},
        {"dropped row overwritten", "\t\t\t\r\n1\t2\r\n", true, 5, 4, 2, "1|2|"},
        {"ragged rows", "1\t2\t3\r\n4\r\n", true, 4, 4, 3, "1|2|3/4||"},
        {"LF neither ends cell nor row", "1\n2\r\n", true, 1, 2, 2, "12"},
        {"plus left out", "1.5E+3\r\n", true, 1, 2, 2, "1.5E3"},
        {"unended cell not stored", "1\t2", true, 1, 2, 2, "1"},
        {"empty rows after data are kept", "1\r\n\r\n2\r\n", true, 3, 2, 4, "1//2"},
        {"point dropped in comma locale", "1,5\t2.5\r\n", true, 2, 3, 2, "1,5|25", ','},
        {"comma dropped in point locale", "1,5\t2.5\r\n", true, 2, 3, 2, "15|2.5"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CalcState s;
        s.ignoreFirstRowWhenEmpty = r.ignore;
        s.localeDecimalSeparator = r.decimal;
        Grid g;
        g.emptyCells();
        g.setRowCount(2);
        g.setColCount(2);
        EXPECT_EQ(parseTable(r.text, s, g), r.count);
        EXPECT_EQ(g.colCount(), r.cols);
        EXPECT_EQ(g.rowCount(), r.rows);
        EXPECT_EQ(dump(g), r.cells);
    }
}

}  // namespace
}  // namespace corvalo::clipcalc
