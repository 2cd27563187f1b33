#include "deskcalc/engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "platform/error.h"

namespace corvalo::deskcalc {
namespace {

constexpr long double kMax = std::numeric_limits<long double>::max();

TEST(Engine, EvaluateComputesOlderOpNewerOrThrowsAndKeepsTheStack) {
    // Name, operation, the older operand and its decimals (the newer, on top, has 2), the
    // newer, the error, then Stack[0], Stack[1] and Stack[0]'s decimals afterwards.
    const std::tuple<const char*, Operation, long double, int, long double, const char*,
                     long double, long double, int>
        rows[] = {
            {"AddTakesNewerDecimals", Operation::Add, 7, 1, 2, nullptr, 9, 0, 2},
            {"SubtractTakesOlderDecimals", Operation::Subtract, 7, 4, 2, nullptr, 5, 0, 4},
            {"Reciprocal", Operation::Reciprocal, 7, 4, 4, nullptr, 0.25L, 7, 2},
            {"PercentWithoutPendingSum", Operation::Percent, 50, 4, 10, nullptr, 0.1L, 50, 2},
            {"DivideByZero", Operation::Divide, 1, 4, 0, "Floating point division by zero", 0, 1,
             2},
            {"SqrtOfNegative", Operation::Sqrt, 1, 4, -4, "Invalid floating point operation", -4,
             1, 2},
            {"AddOverflow", Operation::Add, kMax, 4, kMax, "Floating point overflow", kMax, kMax,
             2},
        };
    for (const auto& [name, op, older, olderDecimals, newer, error, top, below, decimals] : rows) {
        SCOPED_TRACE(name);
        CalculatorEngine e;
        e.pushOperand(Operation::Add, older, olderDecimals);
        e.pushOperand(Operation::Add, newer, 2);
        if (error != nullptr) {
            EXPECT_THAT([&] { e.evaluate(op); },
                        ::testing::ThrowsMessage<Error>(::testing::StrEq(error)));
        } else {
            e.evaluate(op);
        }
        EXPECT_EQ(e.stack[0], top);
        EXPECT_EQ(e.stack[1], below);
        EXPECT_EQ(e.stackDecimals[0], decimals);  // a result takes the larger count
    }
}

TEST(Engine, MemoryOverflowClearsTheMemorySilently) {
    CalculatorEngine e;
    e.pushOperand(Operation::Add, kMax, 2);
    e.memory = kMax;
    e.memoryDecimals = 3;
    EXPECT_FALSE(e.addOperation(Operation::MemAdd));
    EXPECT_EQ(e.memory, 0);
    EXPECT_EQ(e.memoryDecimals, 0);
}

}  // namespace
}  // namespace corvalo::deskcalc
