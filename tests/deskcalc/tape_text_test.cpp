// The tape as text, as Copy Tape and Save Tape take it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "deskcalc/tape.h"

namespace corvalo::deskcalc {
namespace {

TEST(TapeText, WrittenLinesWithoutTheBlankStrip) {
    const struct {
        const char* name;
        std::function<void(PaperTape&)> write;
        const char* text;
    } rows[] = {
        {"NeverFilled", nullptr, ""},
        {"UnusedTape", [](PaperTape& t) { t.fill(); }, ""},
        {"OneCalculation",
         [](PaperTape& t) {
             t.fill();
             t.addNumberLine("5", "+");
             t.addNumberLine("3", "+");
             t.addTextLine("002");
             t.addNumberLine("8", "*");
             t.addSeparatorLine('_');
         },
         "         5 +\n         3 +\n         002\n         8 *\n____________"},
        {"TrailingBlanksCut",
         [](PaperTape& t) {
             t.fill();
             t.addNumberLine("7", "");
         },
         "         7"},
        {"NumberWiderThanTheLine",
         [](PaperTape& t) {
             t.fill();
             t.addNumberLine("1234567890123", "=");
         },
         "1234567890123 ="},
        {"ClearedTape",
         [](PaperTape& t) {
             t.fill();
             t.addNumberLine("5", "+");
             t.clearTape();
         },
         ""},
        {"WrittenAfterClearing",
         [](PaperTape& t) {
             t.fill();
             t.addNumberLine("5", "+");
             t.clearTape();
             t.addNumberLine("9", "=");
         },
         "         9 ="},
        {"MoreLinesThanTheStrip",
         [](PaperTape& t) {
             t.fill();
             for (int i = 0; i < 31; ++i) t.addNumberLine("1", "+");
             t.addNumberLine("31", "=");
         },
         nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PaperTape tape;
        tape.setLineWidth(12);
        tape.setShown(true);
        if (row.write) row.write(tape);
        std::string expected;
        if (row.text != nullptr) {
            expected = row.text;
        } else {  // 31 lines "1 +" and the total, none of the blank strip left
            for (int i = 0; i < 31; ++i) expected += "         1 +\n";
            expected += "        31 =";
        }
        EXPECT_EQ(tape.text(), expected);
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
