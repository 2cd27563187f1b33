#pragma once

#include <cstdint>
#include <string_view>

namespace corvalo::calculator {

// The 29 buttons of the desk calculator, in the order they are hit-tested and painted.
enum TOvcCalculatorButton : std::uint8_t {
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

enum TOvcCalcOperation : std::uint8_t {
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

TOvcCalcOperation OperationOf(TOvcCalculatorButton button);
// The mark written after the button's number on the tape; empty for buttons without one.
std::string_view TapeMarkOf(TOvcCalculatorButton button);
bool IsArithmeticButton(TOvcCalculatorButton button);  // + - * /

class TOvcCustomCalculatorEngine {
  public:
    virtual ~TOvcCustomCalculatorEngine() = default;
    virtual bool AddOperand(TOvcCalcOperation operation, long double value) = 0;
    virtual bool AddOperation(TOvcCalcOperation operation) = 0;
};

// The adding-machine engine: immediate execution, left to right, in 80-bit extended
// precision. Arithmetic failures throw corvalo::Error and leave the target entry as it was.
class TOvcBasicCalculatorEngine final : public TOvcCustomCalculatorEngine {
  public:
    std::int32_t Decimals = 2;
    bool ShowSeparatePercent = false;
    TOvcCalcOperation LastOperation = opNone;
    std::int32_t OperationCount = 0;
    long double Memory = 0;
    long double Stack[4] = {};
    std::uint8_t State = esReady | esNewEntry;
    std::int32_t StackDecimals[4] = {};
    std::int32_t MemoryDecimals = 0;

    void Reset();
    bool PushOperand(TOvcCalcOperation operation, long double value, std::int32_t decimals);
    bool AddOperand(TOvcCalcOperation operation, long double value) override;
    long double Pop();
    long double TopOfStack();
    bool AddOperation(TOvcCalcOperation operation) override;
    void Evaluate(TOvcCalcOperation operation);

  private:
    void shiftDown();
};

}  // namespace corvalo::calculator
