#include "calculator/calc_engine.h"

#include <algorithm>
#include <cmath>

#include "platform/error.h"

namespace corvalo::calculator {

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

long double arithmetic(TOvcCalcOperation op, long double a, long double b) {
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

TOvcCalcOperation OperationOf(TOvcCalculatorButton button) {
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

std::string_view TapeMarkOf(TOvcCalculatorButton button) {
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

bool IsArithmeticButton(TOvcCalculatorButton button) {
    return button == cbAdd || button == cbSubtract || button == cbMultiply || button == cbDivide;
}

void TOvcBasicCalculatorEngine::Reset() {
    std::fill(std::begin(Stack), std::end(Stack), 0.0L);
    LastOperation = opNone;
    OperationCount = 0;
    State = kReadyNewEntry;
}

void TOvcBasicCalculatorEngine::shiftDown() {
    for (int i = 3; i > 0; --i) Stack[i] = Stack[i - 1];
}

bool TOvcBasicCalculatorEngine::PushOperand(TOvcCalcOperation operation, long double value,
                                            std::int32_t decimals) {
    if (!AddOperand(operation, value)) return false;
    for (int i = 3; i > 0; --i) StackDecimals[i] = StackDecimals[i - 1];
    StackDecimals[0] = decimals;
    return true;
}

bool TOvcBasicCalculatorEngine::AddOperand(TOvcCalcOperation operation, long double value) {
    if (operation == opNone || (State & esReady) == 0) return false;
    shiftDown();
    Stack[0] = value;
    return true;
}

long double TOvcBasicCalculatorEngine::Pop() {
    const long double top = Stack[0];
    for (int i = 0; i < 3; ++i) {
        Stack[i] = Stack[i + 1];
        StackDecimals[i] = StackDecimals[i + 1];
    }
    Stack[3] = 0;
    StackDecimals[3] = 0;
    return top;
}

long double TOvcBasicCalculatorEngine::TopOfStack() {
    Decimals = StackDecimals[0];
    return Stack[0];
}

void TOvcBasicCalculatorEngine::Evaluate(TOvcCalcOperation operation) {
    if ((State & esReady) == 0) return;
    switch (operation) {
        case opAdd:
        case opSubtract:
        case opMultiply:
        case opDivide:
            Stack[1] = arithmetic(operation, Stack[1], Stack[0]);
            StackDecimals[1] = std::max(StackDecimals[1], StackDecimals[0]);
            Pop();
            break;
        case opReciprocal:
            Stack[0] = divide(1, Stack[0]);
            break;
        case opPercent:
            if (LastOperation == opAdd || LastOperation == opSubtract) {
                Stack[0] = checked(Stack[0] / 100 * Stack[1]);
                StackDecimals[1] = std::max(StackDecimals[1], StackDecimals[0]);
            } else {
                Stack[0] = Stack[0] / 100;
            }
            State = kReadyNewEntry;
            break;
        case opSqrt:
            if (Stack[0] < 0) throw Error("Invalid floating point operation");
            Stack[0] = std::sqrt(Stack[0]);
            break;
        case opMemClear:
            Memory = 0;
            MemoryDecimals = 0;
            break;
        case opMemRecall:
            shiftDown();
            for (int i = 3; i > 0; --i) StackDecimals[i] = StackDecimals[i - 1];
            Stack[0] = Memory;
            StackDecimals[0] = MemoryDecimals;
            State = kReadyNewEntry;
            break;
        case opMemStore:
            Memory = Stack[0];
            MemoryDecimals = StackDecimals[0];
            State |= esNewEntry;
            break;
        case opMemAdd:
        case opMemSubtract: {
            const long double m = operation == opMemAdd ? Memory + Stack[0] : Memory - Stack[0];
            if (std::isfinite(m)) {
                Memory = m;
                MemoryDecimals = std::max(MemoryDecimals, StackDecimals[0]);
            } else {
                Memory = 0;  // an overflowing M+ or M- clears the memory without a word
                MemoryDecimals = 0;
            }
            State |= esNewEntry;
            break;
        }
        default:
            break;  // opEquals, opNone and unknown codes
    }
}

bool TOvcBasicCalculatorEngine::AddOperation(TOvcCalcOperation operation) {
    if ((State & esReady) == 0 || operation > opMemSubtract) return false;
    switch (operation) {
        case opNone:
            return true;
        case opAdd:
        case opSubtract: {
            Evaluate(LastOperation);
            State = kReadyNewEntry;
            const bool same = LastOperation == opAdd || LastOperation == opSubtract;
            OperationCount = same && OperationCount < INT32_MAX ? OperationCount + 1 : 1;
            LastOperation = operation;
            return true;
        }
        case opMultiply:
        case opDivide: {
            Evaluate(LastOperation);
            State = kReadyNewEntry;
            const bool same = LastOperation == operation;
            OperationCount = same && OperationCount < INT32_MAX ? OperationCount + 1 : 1;
            LastOperation = operation;
            return true;
        }
        case opEquals:
            State |= esNewEntry;
            if (LastOperation != opNone) {
                Evaluate(LastOperation);
                State = kReadyNewEntry;
                LastOperation = LastOperation == opEquals ? opNone : opEquals;
            }
            return true;
        case opPercent:
            Evaluate(opPercent);
            if (!ShowSeparatePercent) {
                Evaluate(LastOperation);
                State = kReadyNewEntry;
                LastOperation = opEquals;
            }
            OperationCount = 0;
            return true;
        case opReciprocal:
        case opSqrt:
        case opMemRecall:
            Evaluate(operation);
            return true;
        default:
            Evaluate(operation);
            return false;  // MC, MS, M+, M-
    }
}

}  // namespace corvalo::calculator
