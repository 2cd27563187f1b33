#include "deskcalc/engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/error.h"

namespace corvalo::deskcalc {

namespace {

// Results are checked before they are stored, so a failed step leaves the stack as it was.
long double checked(long double v) {
    if (!std::isfinite(v)) throw Error("Floating point overflow");
    return v;
}

long double divide(long double a, long double b) {
    if (b == 0) {
        if (a == 0) throw Error("Invalid floating point operation");
        throw Error("Floating point division by zero");
    }
    return checked(a / b);
}

long double arithmetic(Operation op, long double a, long double b) {
    switch (op) {
        case Operation::Add:
            return checked(a + b);
        case Operation::Subtract:
            return checked(a - b);
        case Operation::Multiply:
            return checked(a * b);
        default:
            return divide(a, b);
    }
}

std::int32_t countOneMore(std::int32_t count, bool same) {
    return same && count < INT32_MAX ? count + 1 : 1;
}

}  // namespace

void CalculatorEngine::reset() {
    stack.fill(0.0L);
    lastOperation = Operation::None;
    operationCount = 0;
    state = kReadyForNewEntry;
}

void CalculatorEngine::shiftDown() {
    for (std::size_t i = kStackSize - 1; i > 0; --i) {
        stack[i] = stack[i - 1];
        stackDecimals[i] = stackDecimals[i - 1];
    }
}

bool CalculatorEngine::pushOperand(Operation operation, long double value,
                                   std::int32_t operandDecimals) {
    if (operation == Operation::None || !state.ready) return false;
    shiftDown();
    stack[0] = value;
    stackDecimals[0] = operandDecimals;
    return true;
}

long double CalculatorEngine::pop() {
    const long double top = stack[0];
    for (std::size_t i = 0; i + 1 < kStackSize; ++i) {
        stack[i] = stack[i + 1];
        stackDecimals[i] = stackDecimals[i + 1];
    }
    stack[kStackSize - 1] = 0;
    stackDecimals[kStackSize - 1] = 0;
    return top;
}

long double CalculatorEngine::topOfStack() {
    decimals = stackDecimals[0];
    return stack[0];
}

void CalculatorEngine::evaluate(Operation operation) {
    if (!state.ready) return;
    switch (operation) {
        case Operation::Add:
        case Operation::Subtract:
        case Operation::Multiply:
        case Operation::Divide:
            stack[1] = arithmetic(operation, stack[1], stack[0]);
            stackDecimals[1] = std::max(stackDecimals[1], stackDecimals[0]);
            pop();
            break;
        case Operation::Reciprocal:
            stack[0] = divide(1, stack[0]);
            break;
        case Operation::Percent:
            if (lastOperation == Operation::Add || lastOperation == Operation::Subtract) {
                stack[0] = checked(stack[0] / 100 * stack[1]);
                stackDecimals[1] = std::max(stackDecimals[1], stackDecimals[0]);
            } else {
                stack[0] = stack[0] / 100;
            }
            state = kReadyForNewEntry;
            break;
        case Operation::Sqrt:
            if (stack[0] < 0) throw Error("Invalid floating point operation");
            stack[0] = std::sqrt(stack[0]);
            break;
        case Operation::MemClear:
            memory = 0;
            memoryDecimals = 0;
            break;
        case Operation::MemRecall:
            shiftDown();  // the top stays below the recalled value
            stack[0] = memory;
            stackDecimals[0] = memoryDecimals;
            state = kReadyForNewEntry;
            break;
        case Operation::MemStore:
            memory = stack[0];
            memoryDecimals = stackDecimals[0];
            state.newEntry = true;
            break;
        case Operation::MemAdd:
        case Operation::MemSubtract: {
            const long double m =
                operation == Operation::MemAdd ? memory + stack[0] : memory - stack[0];
            if (std::isfinite(m)) {
                memory = m;
                memoryDecimals = std::max(memoryDecimals, stackDecimals[0]);
            } else {
                memory = 0;  // an overflowing M+ or M- clears the memory without a word
                memoryDecimals = 0;
            }
            state.newEntry = true;
            break;
        }
        default:
            break;  // Equals, None and unknown codes
    }
}

bool CalculatorEngine::addOperation(Operation operation) {
    if (!state.ready || operation > Operation::MemSubtract) return false;
    switch (operation) {
        case Operation::None:
            return true;
        case Operation::Add:
        case Operation::Subtract: {
            evaluate(lastOperation);
            state = kReadyForNewEntry;
            operationCount =
                countOneMore(operationCount, lastOperation == Operation::Add ||
                                                 lastOperation == Operation::Subtract);
            lastOperation = operation;
            return true;
        }
        case Operation::Multiply:
        case Operation::Divide:
            evaluate(lastOperation);
            state = kReadyForNewEntry;
            operationCount = countOneMore(operationCount, lastOperation == operation);
            lastOperation = operation;
            return true;
        case Operation::Equals:
            state.newEntry = true;
            if (lastOperation != Operation::None) {
                evaluate(lastOperation);
                state = kReadyForNewEntry;
                lastOperation =
                    lastOperation == Operation::Equals ? Operation::None : Operation::Equals;
            }
            return true;
        case Operation::Percent:
            evaluate(Operation::Percent);
            if (!showSeparatePercent) {
                evaluate(lastOperation);
                state = kReadyForNewEntry;
                lastOperation = Operation::Equals;
            }
            operationCount = 0;
            return true;
        case Operation::Reciprocal:
        case Operation::Sqrt:
            evaluate(operation);
            state.newEntry = true;  // 9 Sqrt 5: the 5 is a new number, not 35
            return true;
        case Operation::MemRecall:
            evaluate(operation);
            return true;
        default:
            evaluate(operation);
            return false;  // MC, MS, M+, M-
    }
}

}  // namespace corvalo::deskcalc
