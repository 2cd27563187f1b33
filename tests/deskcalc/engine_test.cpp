#include "deskcalc/engine.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <utility>

#include "platform/error.h"

namespace corvalo::deskcalc {
namespace {

constexpr long double kMax = std::numeric_limits<long double>::max();

// An engine holding `older` then `newer` (newer on top), as after "older op newer".
CalculatorEngine withOperands(long double older, int olderDecimals, long double newer,
                              int newerDecimals) {
    CalculatorEngine e;
    e.pushOperand(Operation::Add, older, olderDecimals);
    e.pushOperand(Operation::Add, newer, newerDecimals);
    return e;
}

TEST(Engine, EvaluateComputesOlderOpNewerOrThrowsAndKeepsTheStack) {
    // Name, operation, older operand and its decimals (the newer has 2), newer operand,
    // whether it fails, then Stack[0], Stack[1] and Stack[0]'s decimals afterwards.
    const std::tuple<const char*, Operation, long double, int, long double, bool, long double,
                     long double, int>
        rows[] = {
            {"AddTakesNewerDecimals", Operation::Add, 7, 1, 2, false, 9, 0, 2},
            {"SubtractTakesOlderDecimals", Operation::Subtract, 7, 4, 2, false, 5, 0, 4},
            {"Multiply", Operation::Multiply, 7, 0, 2, false, 14, 0, 2},
            {"DivideOlderByNewer", Operation::Divide, 7, 3, 2, false, 3.5L, 0, 3},
            {"Reciprocal", Operation::Reciprocal, 7, 4, 4, false, 0.25L, 7, 2},
            {"Sqrt", Operation::Sqrt, 7, 4, 16, false, 4, 7, 2},
            {"PercentWithoutPendingSum", Operation::Percent, 50, 4, 10, false, 0.1L, 50, 2},
            {"DivideByZero", Operation::Divide, 1, 4, 0, true, 0, 1, 2},
            {"ReciprocalOfZero", Operation::Reciprocal, 1, 4, 0, true, 0, 1, 2},
            {"SqrtOfNegative", Operation::Sqrt, 1, 4, -4, true, -4, 1, 2},
            {"AddOverflow", Operation::Add, kMax, 4, kMax, true, kMax, kMax, 2},
            {"MultiplyOverflow", Operation::Multiply, 1e3000L, 4, 1e3000L, true, 1e3000L, 1e3000L,
             2},
            {"DivideOverflow", Operation::Divide, 1e3000L, 4, 1e-3000L, true, 1e-3000L, 1e3000L,
             2},
            {"ReciprocalOverflow", Operation::Reciprocal, 1, 4, 1e-4940L, true, 1e-4940L, 1, 2},
        };
    for (const auto& [name, op, older, olderDecimals, newer, fails, top, below, decimals] : rows) {
        SCOPED_TRACE(name);
        auto e = withOperands(older, olderDecimals, newer, 2);
        if (fails) {
            EXPECT_THROW(e.evaluate(op), Error);
        } else {
            e.evaluate(op);
        }
        EXPECT_EQ(e.stack[0], top);
        EXPECT_EQ(e.stack[1], below);
        EXPECT_EQ(e.stackDecimals[0], decimals);  // a result takes the larger count
    }
}

TEST(Engine, AddOperationCountsLikeOperationsAndEndsTheEntry) {
    CalculatorEngine e;
    const std::pair<Operation, int> steps[] = {
        {Operation::Add, 1},      {Operation::Subtract, 2},  {Operation::Add, 3},
        {Operation::Multiply, 1}, {Operation::Multiply, 2},  {Operation::Divide, 1},
        {Operation::Sqrt, 1},     {Operation::Reciprocal, 1}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const auto [op, count] = steps[i];
        e.pushOperand(op, 2, 0);
        e.state = kEntering;
        ASSERT_TRUE(e.addOperation(op));
        EXPECT_EQ(e.operationCount, count);
        EXPECT_EQ(e.state.code(), 5);  // 9 Sqrt 5: the 5 starts a new number
    }
}

TEST(Engine, MemoryOperationsReturnFalseButRecallAndOverflowClearsSilently) {
    auto e = withOperands(0, 0, 4, 2);
    EXPECT_FALSE(e.addOperation(Operation::MemStore));
    EXPECT_FALSE(e.addOperation(Operation::MemAdd));
    EXPECT_TRUE(e.addOperation(Operation::MemRecall));
    EXPECT_EQ(e.stack[0], 8);
    EXPECT_EQ(e.stack[1], 4);  // the copy pushed below the recalled value
    EXPECT_FALSE(e.addOperation(Operation::MemSubtract));  // 8 - 8
    EXPECT_EQ(e.memory, 0);
    EXPECT_EQ(e.memoryDecimals, 2);
    EXPECT_FALSE(e.addOperation(Operation::MemClear));
    EXPECT_EQ(e.memoryDecimals, 0);
    e.pushOperand(Operation::Add, kMax, 2);
    e.memory = kMax;
    e.memoryDecimals = 3;
    EXPECT_NO_THROW(e.evaluate(Operation::MemAdd));
    EXPECT_EQ(e.memory, 0);
    EXPECT_EQ(e.memoryDecimals, 0);
}

TEST(Engine, PopShiftsValuesAndDecimalsLockedEngineChangesNothing) {
    CalculatorEngine e;
    for (int i = 1; i <= 5; ++i) e.pushOperand(Operation::Add, i, i);  // 1 falls off the bottom
    EXPECT_EQ(e.pop(), 5);
    EXPECT_EQ(e.stack[2], 2);
    EXPECT_EQ(e.stackDecimals[3], 0);
    EXPECT_EQ(e.topOfStack(), 4);
    EXPECT_EQ(e.decimals, 4);
    e.state = kLocked;
    EXPECT_FALSE(e.addOperation(Operation::Add));
    EXPECT_FALSE(e.pushOperand(Operation::Add, 9, 0));
    e.evaluate(Operation::Add);
    EXPECT_EQ(e.stack[0], 4);
}

}  // namespace
}  // namespace corvalo::deskcalc
