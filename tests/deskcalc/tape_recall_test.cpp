#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "deskcalc/entry.h"
#include "fake_host.h"

namespace corvalo::deskcalc {
namespace {

using testing::Press;
using testing::Rig;

// Regression: the item count "         002" was read as the number 0 (its last two
// characters taken for a blank and a mark), which replaced the entry and was pushed
// onto the pending calculation.
TEST(TapeRecall, ItemCountLineChangesNothing) {
    Rig rig;
    Press(rig.calc, "5 + 3 = 9");
    const auto& lines = rig.calc.tape().lines();
    const auto count = std::find(lines.begin(), lines.end(), "         002");
    ASSERT_NE(count, lines.end());
    rig.calc.recallTapeLine(static_cast<std::size_t>(count - lines.begin()));
    EXPECT_EQ(rig.calc.entryText(), "9");
    EXPECT_EQ(rig.host.display, "9 ");
    Press(rig.calc, "+ 1 =");
    EXPECT_EQ(rig.host.display, "10 ");
}

}  // namespace
}  // namespace corvalo::deskcalc
