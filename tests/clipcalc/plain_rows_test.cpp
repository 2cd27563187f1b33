#include "clipcalc/plain_rows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/error.h"

namespace corvalo::clipcalc {
namespace {

struct Stepped {
    std::optional<PlainRows> rows;
    double first = 0.0, chosen = 0.0;
};

constexpr RowClassifier kClassifiers[] = {RowClassifier::Fastest, RowClassifier::Sse2,
                                          RowClassifier::Scalar};

// Results start at 7 (the first) and 0 (the chosen column) as after an earlier piece.
Stepped step(std::string text, std::int32_t col, MathMode mode = MathMode::Addition,
             RowClassifier classifier = RowClassifier::Fastest) {
    const std::size_t n = text.size();
    text.append(kPlainRowsReadAhead, '\0');
    LineResult first(mode), chosen(mode);
    first.step(7.0);
    Stepped s;
    s.rows =
        stepPlainRows({text.data(), n}, '.', col, first, col == 1 ? nullptr : &chosen, classifier);
    s.first = first.value();
    s.chosen = chosen.value();
    return s;
}

TEST(StepPlainRows, ReadsRowsOfPlainNumbers) {
    const std::string longest(62, '1');  // with its CR LF as long as a row may be
    const struct {
        const char* name;
        std::string text;
        std::int32_t col;
        MathMode mode;
        PlainRows counts;
        double first, chosen;
    } cases[] = {
        {"two columns", "1\t2\r\n-3.5\t4\r\n", 2, MathMode::Addition, {4, 2, 2}, 4.5, 6.0},
        {"rows past the first 16 bytes",
         "1234567\t-89.125\r\n-0.5\t12.25\r\n3\t4\r\n",
         2,
         MathMode::Addition,
         {6, 3, 2},
         1234576.5,
         -72.875},
        {"a short row has a zero in the column",
         "10\r\n2.5\t7\r\n",
         2,
         MathMode::Multiplication,
         {3, 2, 2},
         175.0,
         0.0},
        {"a column beyond every row", "1\t2\r\n", 3, MathMode::Addition, {2, 1, 2}, 8.0, 0.0},
        {"zero divisors skipped",
         "8\t0\r\n2\t0\r\n",
         2,
         MathMode::Division,
         {4, 2, 2},
         7.0 / 8 / 2,
         0.0},
        {"more than 15 digits",
         "12345678901234567\r\n",
         1,
         MathMode::Addition,
         {1, 1, 1},
         7.0 + 12345678901234567.0,
         0.0},
        {"the longest row",
         longest + "\r\n",
         1,
         MathMode::Addition,
         {1, 1, 1},
         7.0 + std::strtod(longest.c_str(), nullptr),
         0.0},
    };
    for (const auto& c : cases) {
        for (const RowClassifier classifier : kClassifiers) {
            SCOPED_TRACE(::testing::Message()
                         << c.name << ", classifier " << static_cast<int>(classifier));
            const Stepped s = step(c.text, c.col, c.mode, classifier);
            ASSERT_TRUE(s.rows.has_value());
            EXPECT_EQ(s.rows->cells, c.counts.cells);
            EXPECT_EQ(s.rows->rows, c.counts.rows);
            EXPECT_EQ(s.rows->cols, c.counts.cols);
            EXPECT_EQ(s.first, c.first);
            EXPECT_EQ(s.chosen, c.chosen);
        }
    }
}

// Any other text is left to the load, and nothing is stepped: not even the rows
// before the one that is no plain row.
TEST(StepPlainRows, LeavesOtherTextAlone) {
    const std::string other[] = {"",
                                 "1\r\n2\t\t3\r\n",
                                 "1\r\n\t3\r\n",
                                 "1\r\n3\t\r\n",
                                 "1\r\n1.\r\n",
                                 "1\r\n.5\r\n",
                                 "1\r\n1.2.3\r\n",
                                 "1\r\n1-2\r\n",
                                 "1\r\n--1\r\n",
                                 "1\r\n-.5\r\n",
                                 "1\r\n-\r\n",
                                 "1\r\n1e5\r\n",
                                 "1\r\n1,5\r\n",
                                 "1\r\n 1\r\n",
                                 "1\r\n\r\n",
                                 "1\r\n2\n",
                                 "1\r\n2\r3\r\n",
                                 "1\r\n2",
                                 std::string("1\r\n2\0\r\n", 7),
                                 "1\r\n" + std::string(63, '1') + "\r\n"};
    for (const std::string& text : other) {
        for (const RowClassifier classifier : kClassifiers) {
            SCOPED_TRACE(::testing::Message()
                         << text << ", classifier " << static_cast<int>(classifier));
            const Stepped s = step(text, 2, MathMode::Addition, classifier);
            EXPECT_FALSE(s.rows.has_value());
            EXPECT_EQ(s.first, 7.0);
            EXPECT_EQ(s.chosen, 0.0);
        }
    }
}

TEST(StepPlainRows, OverflowThrows) {
    std::string text;
    for (int i = 0; i < 6; ++i) text += "1" + std::string(60, '0') + "\r\n";
    EXPECT_THROW(step(text, 1, MathMode::Multiplication), Error);
}

}  // namespace
}  // namespace corvalo::clipcalc
