#include "deskcalc/engine.h"

#include <algorithm>
#include <cmath>

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
        case opAdd:
            return checked(a + b);
        case opSubtract:
            return checked(a - b);
        case opMultiply:
            return checked(a * b);
        default:
            return divide(a, b);
    }
}

}  // namespace

Operation operationOf(Key button) {
    switch (button) {
        case cbAdd:
            return opAdd;
        case cbSubtract:
            return opSubtract;
        case cbMultiply:
            return opMultiply;
        case cbDivide:
            return opDivide;
        case cbEquals:
            return opEquals;
        case cbReciprocal:
            return opReciprocal;
        case cbPercent:
            return opPercent;
        case cbSqrt:
            return opSqrt;
        case cbMemClear:
            return opMemClear;
        case cbMemRecall:
            return opMemRecall;
        case cbMemStore:
            return opMemStore;
        case cbMemAdd:
            return opMemAdd;
        case cbMemSubtract:
            return opMemSubtract;
        default:
            return opNone;
    }
}

std::string_view tapeMarkOf(Key button) {
    switch (button) {
        case cbAdd:
            return "+";
        case cbSubtract:
            return "-";
        case cbMultiply:
            return "*";
        case cbDivide:
            return "/";
        case cbEquals:
            return "=";
        case cbPercent:
            return "%";
        default:
            return {};
    }
}

bool isArithmeticButton(Key button) {
    return button == cbAdd || button == cbSubtract || button == cbMultiply || button == cbDivide;
}

void CalculatorEngine::reset() {
    std::fill(std::begin(stack), std::end(stack), 0.0L);
    lastOperation = opNone;
    operationCount = 0;
    state = kReadyNewEntry;
}

void CalculatorEngine::shiftDown() {
    for (int i = 3; i > 0; --i) stack[i] = stack[i - 1];
}

bool CalculatorEngine::pushOperand(Operation operation, long double value,
                                            std::int32_t operandDecimals) {
    if (!addOperand(operation, value)) return false;
    for (int i = 3; i > 0; --i) stackDecimals[i] = stackDecimals[i - 1];
    stackDecimals[0] = operandDecimals;
    return true;
}

bool CalculatorEngine::addOperand(Operation operation, long double value) {
    if (operation == opNone || (state & esReady) == 0) return false;
    shiftDown();
    stack[0] = value;
    return true;
}

long double CalculatorEngine::pop() {
    const long double top = stack[0];
    for (int i = 0; i < 3; ++i) {
        stack[i] = stack[i + 1];
        stackDecimals[i] = stackDecimals[i + 1];
    }
    stack[3] = 0;
    stackDecimals[3] = 0;
    return top;
}

long double CalculatorEngine::topOfStack() {
    decimals = stackDecimals[0];
    return stack[0];
}

void CalculatorEngine::evaluate(Operation operation) {
    if ((state & esReady) == 0) return;
    switch (operation) {
        case opAdd:
        case opSubtract:
        case opMultiply:
        case opDivide:
            stack[1] = arithmetic(operation, stack[1], stack[0]);
            stackDecimals[1] = std::max(stackDecimals[1], stackDecimals[0]);
            pop();
            break;
        case opReciprocal:
            stack[0] = divide(1, stack[0]);
            break;
        case opPercent:
            if (lastOperation == opAdd || lastOperation == opSubtract) {
                stack[0] = checked(stack[0] / 100 * stack[1]);
                stackDecimals[1] = std::max(stackDecimals[1], stackDecimals[0]);
            } else {
                stack[0] = stack[0] / 100;
            }
            state = kReadyNewEntry;
            break;
        case opSqrt:
            if (stack[0] < 0) throw Error("Invalid floating point operation");
            stack[0] = std::sqrt(stack[0]);
            break;
        case opMemClear:
            memory = 0;
            memoryDecimals = 0;
            break;
        case opMemRecall:
            shiftDown();
            for (int i = 3; i > 0; --i) stackDecimals[i] = stackDecimals[i - 1];
            stack[0] = memory;
            stackDecimals[0] = memoryDecimals;
            state = kReadyNewEntry;
            break;
        case opMemStore:
            memory = stack[0];
            memoryDecimals = stackDecimals[0];
            state |= esNewEntry;
            break;
        case opMemAdd:
        case opMemSubtract: {
            const long double m = operation == opMemAdd ? memory + stack[0] : memory - stack[0];
            if (std::isfinite(m)) {
                memory = m;
                memoryDecimals = std::max(memoryDecimals, stackDecimals[0]);
            } else {
                memory = 0;  // an overflowing M+ or M- clears the memory without a word
                memoryDecimals = 0;
            }
            state |= esNewEntry;
            break;
        }
        default:
            break;  // opEquals, opNone and unknown codes
    }
}

bool CalculatorEngine::addOperation(Operation operation) {
    if ((state & esReady) == 0 || operation > opMemSubtract) return false;
    switch (operation) {
        case opNone:
            return true;
        case opAdd:
        case opSubtract: {
            evaluate(lastOperation);
            state = kReadyNewEntry;
            const bool same = lastOperation == opAdd || lastOperation == opSubtract;
            operationCount = same && operationCount < INT32_MAX ? operationCount + 1 : 1;
            lastOperation = operation;
            return true;
        }
        case opMultiply:
        case opDivide: {
            evaluate(lastOperation);
            state = kReadyNewEntry;
            const bool same = lastOperation == operation;
            operationCount = same && operationCount < INT32_MAX ? operationCount + 1 : 1;
            lastOperation = operation;
            return true;
        }
        case opEquals:
            state |= esNewEntry;
            if (lastOperation != opNone) {
                evaluate(lastOperation);
                state = kReadyNewEntry;
                lastOperation = lastOperation == opEquals ? opNone : opEquals;
            }
            return true;
        case opPercent:
            evaluate(opPercent);
            if (!showSeparatePercent) {
                evaluate(lastOperation);
                state = kReadyNewEntry;
                lastOperation = opEquals;
            }
            operationCount = 0;
            return true;
        case opReciprocal:
        case opSqrt:
        case opMemRecall:
            evaluate(operation);
            return true;
        default:
            evaluate(operation);
            return false;  // MC, MS, M+, M-
    }
}

}  // namespace corvalo::deskcalc
