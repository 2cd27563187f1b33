#pragma once

#include <cstdint>
#include <string_view>

namespace corvalo::deskcalc {

// The 29 buttons of the desk calculator, in the order they are hit-tested and painted.
enum Key : std::uint8_t {
    cbNone,
    cbClearTape,
    cbBack,
    cbClearEntry,
    cbClear,
    cbAdd,
    cbSubtract,
    cbMultiply,
    cbDivide,
    cbDigit0,
    cbDigit1,
    cbDigit2,
    cbDigit3,
    cbDigit4,
    cbDigit5,
    cbDigit6,
    cbDigit7,
    cbDigit8,
    cbDigit9,
    cbDecimal,
    cbEquals,
    cbReciprocal,
    cbChangeSign,
    cbPercent,
    cbSqrt,
    cbMemClear,
    cbMemRecall,
    cbMemStore,
    cbMemAdd,
    cbMemSubtract,
};
inline constexpr int kButtonCount = 29;  // cbClearTape .. cbMemSubtract

enum Operation : std::uint8_t {
    opNone,
    opAdd,
    opSubtract,
    opMultiply,
    opDivide,
    opEquals,
    opReciprocal,
    opPercent,
    opSqrt,
    opMemClear,
    opMemRecall,
    opMemStore,
    opMemAdd,
    opMemSubtract,
};

// Engine state flags, a set in one byte: 5 ready for a new entry, 1 entry in progress, 2 error.
inline constexpr std::uint8_t esReady = 1;
inline constexpr std::uint8_t esError = 2;
inline constexpr std::uint8_t esNewEntry = 4;
inline constexpr std::uint8_t kReadyNewEntry = esReady | esNewEntry;  // 5

Operation operationOf(Key button);
// The mark written after the button's number on the tape; empty for buttons without one.
std::string_view tapeMarkOf(Key button);
bool isArithmeticButton(Key button);  // + - * /

class CalculatorEngineBase {
  public:
    virtual ~CalculatorEngineBase() = default;
    virtual bool addOperand(Operation operation, long double value) = 0;
    virtual bool addOperation(Operation operation) = 0;
};

// The adding-machine engine: immediate execution, left to right, in 80-bit extended
// precision. Arithmetic failures throw corvalo::Error and leave the target entry as it was.
class CalculatorEngine final : public CalculatorEngineBase {
  public:
    std::int32_t decimals = 2;
    bool showSeparatePercent = false;
    Operation lastOperation = opNone;
    std::int32_t operationCount = 0;
    long double memory = 0;
    long double stack[4] = {};
    std::uint8_t state = esReady | esNewEntry;
    std::int32_t stackDecimals[4] = {};
    std::int32_t memoryDecimals = 0;

    void reset();
    bool pushOperand(Operation operation, long double value, std::int32_t decimals);
    bool addOperand(Operation operation, long double value) override;
    long double pop();
    long double topOfStack();
    bool addOperation(Operation operation) override;
    void evaluate(Operation operation);

  private:
    void shiftDown();
};

}  // namespace corvalo::deskcalc
