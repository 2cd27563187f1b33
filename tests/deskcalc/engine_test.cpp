#include "deskcalc/engine.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <limits>

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

struct EvaluateRow {
    const char* name;
    Operation op;
    long double older, newer;
    long double top;  // Stack[0] afterwards
    int topDecimals;
};
void PrintTo(const EvaluateRow& row, std::ostream* os) {
    *os << row.name;
}

class EngineEvaluate : public ::testing::TestWithParam<EvaluateRow> {};

TEST_P(EngineEvaluate, ComputesOlderOpNewer) {
    const EvaluateRow& row = GetParam();
    auto e = withOperands(row.older, 1, row.newer, 3);
    e.evaluate(row.op);
    EXPECT_EQ(e.stack[0], row.top);
    EXPECT_EQ(e.stackDecimals[0], row.topDecimals);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EngineEvaluate,
    ::testing::Values(EvaluateRow{"Add", Operation::Add, 7, 2, 9, 3},
                      EvaluateRow{"SubtractOlderMinusNewer", Operation::Subtract, 7, 2, 5, 3},
                      EvaluateRow{"Multiply", Operation::Multiply, 7, 2, 14, 3},
                      EvaluateRow{"DivideOlderByNewer", Operation::Divide, 7, 2, 3.5L, 3},
                      EvaluateRow{"Reciprocal", Operation::Reciprocal, 7, 4, 0.25L, 3},
                      EvaluateRow{"Sqrt", Operation::Sqrt, 7, 16, 4, 3},
                      EvaluateRow{"EqualsDoesNothing", Operation::Equals, 7, 2, 2, 3}),
    testing::RowName());

struct FailureRow {
    const char* name;
    Operation op;
    long double older, newer;
};
void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class EngineFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(EngineFailure, ThrowsAndKeepsTheStack) {
    const FailureRow& row = GetParam();
    auto e = withOperands(row.older, 0, row.newer, 0);
    EXPECT_THROW(e.evaluate(row.op), Error);
    EXPECT_EQ(e.stack[0], row.newer);
    EXPECT_EQ(e.stack[1], row.older);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EngineFailure,
    ::testing::Values(FailureRow{"DivideByZero", Operation::Divide, 1, 0},
                      FailureRow{"ZeroByZero", Operation::Divide, 0, 0},
                      FailureRow{"ReciprocalOfZero", Operation::Reciprocal, 1, 0},
                      FailureRow{"SqrtOfNegative", Operation::Sqrt, 1, -4},
                      FailureRow{"AddOverflow", Operation::Add, kMax, kMax},
                      FailureRow{"SubtractOverflow", Operation::Subtract, -kMax, kMax},
                      FailureRow{"MultiplyOverflow", Operation::Multiply, 1e3000L, 1e3000L},
                      FailureRow{"DivideOverflow", Operation::Divide, 1e3000L, 1e-3000L},
                      FailureRow{"ReciprocalOverflow", Operation::Reciprocal, 1, 1e-4940L}),
    testing::RowName());

TEST(Engine, PercentOfPendingAddendAndOfProduct) {
    auto e = withOperands(200, 0, 10, 2);
    e.lastOperation = Operation::Add;
    e.evaluate(Operation::Percent);
    EXPECT_EQ(e.stack[0], 20);
    EXPECT_EQ(e.stackDecimals[1], 2);
    EXPECT_EQ(e.state, kReadyForNewEntry);

    auto m = withOperands(50, 0, 10, 0);
    m.lastOperation = Operation::Multiply;
    m.evaluate(Operation::Percent);
    EXPECT_EQ(m.stack[0], 10 / 100.0L);
}

TEST(Engine, AddOperationCountsLikeOperations) {
    CalculatorEngine e;
    const Operation ops[] = {Operation::Add,      Operation::Subtract, Operation::Add,
                             Operation::Multiply, Operation::Multiply, Operation::Divide};
    const int counts[] = {1, 2, 3, 1, 2, 1};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        e.pushOperand(ops[i], 2, 0);
        ASSERT_TRUE(e.addOperation(ops[i]));
        EXPECT_EQ(e.operationCount, counts[i]);
        EXPECT_EQ(e.lastOperation, ops[i]);
    }
}

TEST(Engine, OneOperandResultsWaitForANewEntry) {
    for (const Operation op : {Operation::Reciprocal, Operation::Sqrt}) {
        SCOPED_TRACE(static_cast<int>(op));
        CalculatorEngine e;
        e.pushOperand(op, 4, 0);
        e.state = kEntering;
        ASSERT_TRUE(e.addOperation(op));
        EXPECT_EQ(e.state, kReadyForNewEntry);
        EXPECT_EQ(e.state.code(), 5);
    }
}

TEST(Engine, EqualsTogglesLastOperation) {
    auto e = withOperands(5, 0, 3, 0);
    e.lastOperation = Operation::Add;
    EXPECT_TRUE(e.addOperation(Operation::Equals));
    EXPECT_EQ(e.stack[0], 8);
    EXPECT_EQ(e.lastOperation, Operation::Equals);
    EXPECT_TRUE(e.addOperation(Operation::Equals));
    EXPECT_EQ(e.lastOperation, Operation::None);
}

TEST(Engine, MemoryOperationsReturnFalse) {
    auto e = withOperands(0, 0, 4, 2);
    EXPECT_FALSE(e.addOperation(Operation::MemStore));
    EXPECT_EQ(e.memory, 4);
    EXPECT_EQ(e.memoryDecimals, 2);
    EXPECT_FALSE(e.addOperation(Operation::MemAdd));
    EXPECT_EQ(e.memory, 8);
    EXPECT_FALSE(e.addOperation(Operation::MemSubtract));
    EXPECT_EQ(e.memory, 4);
    EXPECT_TRUE(e.addOperation(Operation::MemRecall));
    EXPECT_EQ(e.stack[0], 4);
    EXPECT_EQ(e.stack[1], 4);  // the copy pushed below the recalled value
    EXPECT_FALSE(e.addOperation(Operation::MemClear));
    EXPECT_EQ(e.memory, 0);
    EXPECT_EQ(e.memoryDecimals, 0);
}

TEST(Engine, OverflowingMemoryAddClearsMemory) {
    auto e = withOperands(0, 0, kMax, 2);
    e.memory = kMax;
    e.memoryDecimals = 3;
    EXPECT_NO_THROW(e.evaluate(Operation::MemAdd));
    EXPECT_EQ(e.memory, 0);
    EXPECT_EQ(e.memoryDecimals, 0);
    EXPECT_TRUE(e.state.newEntry);
}

TEST(Engine, ErrorStateRefusesEverything) {
    auto e = withOperands(1, 0, 2, 0);
    e.state = kLocked;
    EXPECT_FALSE(e.addOperation(Operation::Add));
    EXPECT_FALSE(e.pushOperand(Operation::Add, 9, 0));
    e.evaluate(Operation::Add);
    EXPECT_EQ(e.stack[0], 2);
}

TEST(Engine, UnknownOperationAndNoneAreNotOperations) {
    CalculatorEngine e;
    EXPECT_FALSE(e.addOperation(static_cast<Operation>(14)));
    EXPECT_TRUE(e.addOperation(Operation::None));
    EXPECT_FALSE(e.pushOperand(Operation::None, 3, 0));
    EXPECT_EQ(e.stack[0], 0);
}

TEST(Engine, PopShiftsValuesAndDecimals) {
    CalculatorEngine e;
    for (int i = 1; i <= 5; ++i) e.pushOperand(Operation::Add, i, i);  // 1 falls off the bottom
    EXPECT_EQ(e.pop(), 5);
    EXPECT_EQ(e.stackDecimals[0], 4);
    EXPECT_EQ(e.stack[2], 2);
    EXPECT_EQ(e.stack[3], 0);
    EXPECT_EQ(e.stackDecimals[3], 0);
    EXPECT_EQ(e.topOfStack(), 4);
    EXPECT_EQ(e.decimals, 4);
}

TEST(Engine, ResetKeepsMemory) {
    auto e = withOperands(1, 0, 2, 0);
    e.memory = 7;
    e.lastOperation = Operation::Add;
    e.reset();
    EXPECT_EQ(e.stack[1], 0);
    EXPECT_EQ(e.lastOperation, Operation::None);
    EXPECT_EQ(e.state, kReadyForNewEntry);
    EXPECT_EQ(e.memory, 7);
}

}  // namespace
}  // namespace corvalo::deskcalc
