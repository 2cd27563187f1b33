#include "calculator/calc_engine.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <limits>

#include "platform/error.h"

namespace corvalo::calculator {
namespace {

constexpr long double kMax = std::numeric_limits<long double>::max();

// An engine holding `older` then `newer` (newer on top), as after "older op newer".
TOvcBasicCalculatorEngine withOperands(long double older, int olderDecimals, long double newer,
                                       int newerDecimals) {
    TOvcBasicCalculatorEngine e;
    e.PushOperand(opAdd, older, olderDecimals);
    e.PushOperand(opAdd, newer, newerDecimals);
    return e;
}

struct EvaluateRow {
    const char* name;
    TOvcCalcOperation op;
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
    e.Evaluate(row.op);
    EXPECT_EQ(e.Stack[0], row.top);
    EXPECT_EQ(e.StackDecimals[0], row.topDecimals);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EngineEvaluate,
    ::testing::Values(EvaluateRow{"Add", opAdd, 7, 2, 9, 3},
                      EvaluateRow{"SubtractOlderMinusNewer", opSubtract, 7, 2, 5, 3},
                      EvaluateRow{"Multiply", opMultiply, 7, 2, 14, 3},
                      EvaluateRow{"DivideOlderByNewer", opDivide, 7, 2, 3.5L, 3},
                      EvaluateRow{"Reciprocal", opReciprocal, 7, 4, 0.25L, 3},
                      EvaluateRow{"Sqrt", opSqrt, 7, 16, 4, 3},
                      EvaluateRow{"EqualsDoesNothing", opEquals, 7, 2, 2, 3}),
    testing::RowName());

struct FailureRow {
    const char* name;
    TOvcCalcOperation op;
    long double older, newer;
};
void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class EngineFailure : public ::testing::TestWithParam<FailureRow> {};

TEST_P(EngineFailure, ThrowsAndKeepsTheStack) {
    const FailureRow& row = GetParam();
    auto e = withOperands(row.older, 0, row.newer, 0);
    EXPECT_THROW(e.Evaluate(row.op), Error);
    EXPECT_EQ(e.Stack[0], row.newer);
    EXPECT_EQ(e.Stack[1], row.older);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EngineFailure,
    ::testing::Values(FailureRow{"DivideByZero", opDivide, 1, 0},
                      FailureRow{"ZeroByZero", opDivide, 0, 0},
                      FailureRow{"ReciprocalOfZero", opReciprocal, 1, 0},
                      FailureRow{"SqrtOfNegative", opSqrt, 1, -4},
                      FailureRow{"AddOverflow", opAdd, kMax, kMax},
                      FailureRow{"SubtractOverflow", opSubtract, -kMax, kMax},
                      FailureRow{"MultiplyOverflow", opMultiply, 1e3000L, 1e3000L},
                      FailureRow{"DivideOverflow", opDivide, 1e3000L, 1e-3000L},
                      FailureRow{"ReciprocalOverflow", opReciprocal, 1, 1e-4940L}),
    testing::RowName());

TEST(Engine, PercentOfPendingAddendAndOfProduct) {
    auto e = withOperands(200, 0, 10, 2);
    e.LastOperation = opAdd;
    e.Evaluate(opPercent);
    EXPECT_EQ(e.Stack[0], 20);
    EXPECT_EQ(e.StackDecimals[1], 2);
    EXPECT_EQ(e.State, esReady | esNewEntry);

    auto m = withOperands(50, 0, 10, 0);
    m.LastOperation = opMultiply;
    m.Evaluate(opPercent);
    EXPECT_EQ(m.Stack[0], 10 / 100.0L);
}

TEST(Engine, AddOperationCountsLikeOperations) {
    TOvcBasicCalculatorEngine e;
    const TOvcCalcOperation ops[] = {opAdd, opSubtract, opAdd, opMultiply, opMultiply, opDivide};
    const int counts[] = {1, 2, 3, 1, 2, 1};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        e.PushOperand(ops[i], 2, 0);
        ASSERT_TRUE(e.AddOperation(ops[i]));
        EXPECT_EQ(e.OperationCount, counts[i]);
        EXPECT_EQ(e.LastOperation, ops[i]);
    }
}

TEST(Engine, EqualsTogglesLastOperation) {
    auto e = withOperands(5, 0, 3, 0);
    e.LastOperation = opAdd;
    EXPECT_TRUE(e.AddOperation(opEquals));
    EXPECT_EQ(e.Stack[0], 8);
    EXPECT_EQ(e.LastOperation, opEquals);
    EXPECT_TRUE(e.AddOperation(opEquals));
    EXPECT_EQ(e.LastOperation, opNone);
}

TEST(Engine, MemoryOperationsReturnFalse) {
    auto e = withOperands(0, 0, 4, 2);
    EXPECT_FALSE(e.AddOperation(opMemStore));
    EXPECT_EQ(e.Memory, 4);
    EXPECT_EQ(e.MemoryDecimals, 2);
    EXPECT_FALSE(e.AddOperation(opMemAdd));
    EXPECT_EQ(e.Memory, 8);
    EXPECT_FALSE(e.AddOperation(opMemSubtract));
    EXPECT_EQ(e.Memory, 4);
    EXPECT_TRUE(e.AddOperation(opMemRecall));
    EXPECT_EQ(e.Stack[0], 4);
    EXPECT_EQ(e.Stack[1], 4);  // the copy pushed below the recalled value
    EXPECT_FALSE(e.AddOperation(opMemClear));
    EXPECT_EQ(e.Memory, 0);
    EXPECT_EQ(e.MemoryDecimals, 0);
}

TEST(Engine, OverflowingMemoryAddClearsMemory) {
    auto e = withOperands(0, 0, kMax, 2);
    e.Memory = kMax;
    e.MemoryDecimals = 3;
    EXPECT_NO_THROW(e.Evaluate(opMemAdd));
    EXPECT_EQ(e.Memory, 0);
    EXPECT_EQ(e.MemoryDecimals, 0);
    EXPECT_NE(e.State & esNewEntry, 0);
}

TEST(Engine, ErrorStateRefusesEverything) {
    auto e = withOperands(1, 0, 2, 0);
    e.State = esError;
    EXPECT_FALSE(e.AddOperation(opAdd));
    EXPECT_FALSE(e.PushOperand(opAdd, 9, 0));
    e.Evaluate(opAdd);
    EXPECT_EQ(e.Stack[0], 2);
}

TEST(Engine, UnknownOperationAndNoneAreNotOperations) {
    TOvcBasicCalculatorEngine e;
    EXPECT_FALSE(e.AddOperation(static_cast<TOvcCalcOperation>(14)));
    EXPECT_TRUE(e.AddOperation(opNone));
    EXPECT_FALSE(e.PushOperand(opNone, 3, 0));
    EXPECT_EQ(e.Stack[0], 0);
}

TEST(Engine, PopShiftsValuesAndDecimals) {
    TOvcBasicCalculatorEngine e;
    for (int i = 1; i <= 5; ++i) e.PushOperand(opAdd, i, i);  // 1 falls off the bottom
    EXPECT_EQ(e.Pop(), 5);
    EXPECT_EQ(e.StackDecimals[0], 4);
    EXPECT_EQ(e.Stack[2], 2);
    EXPECT_EQ(e.Stack[3], 0);
    EXPECT_EQ(e.StackDecimals[3], 0);
    EXPECT_EQ(e.TopOfStack(), 4);
    EXPECT_EQ(e.Decimals, 4);
}

TEST(Engine, ResetKeepsMemory) {
    auto e = withOperands(1, 0, 2, 0);
    e.Memory = 7;
    e.LastOperation = opAdd;
    e.Reset();
    EXPECT_EQ(e.Stack[1], 0);
    EXPECT_EQ(e.LastOperation, opNone);
    EXPECT_EQ(e.State, esReady | esNewEntry);
    EXPECT_EQ(e.Memory, 7);
}

}  // namespace
}  // namespace corvalo::calculator
