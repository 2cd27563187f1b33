#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace corvalo::deskcalc {

enum class Operation : std::uint8_t {
    None,
    Add,
    Subtract,
    Multiply,
    Divide,
    Equals,
    Reciprocal,
    Percent,
    Sqrt,
    MemClear,
    MemRecall,
    MemStore,
    MemAdd,
    MemSubtract,
};

// What the engine accepts next. Three states occur: ready for a new entry, an entry in
// progress, and locked after an error until it is cleared.
struct EngineState {
    bool ready = true;     // operands and operations are accepted
    bool error = false;    // locked after an error
    bool newEntry = true;  // the next digit starts a new number

    // The flags as one byte, ready 1, error 2, new entry 4: the states are 5, 1 and 2.
    constexpr std::uint8_t code() const {
        return static_cast<std::uint8_t>((ready ? 1 : 0) | (error ? 2 : 0) | (newEntry ? 4 : 0));
    }
    bool operator==(const EngineState&) const = default;
};
inline constexpr EngineState kReadyForNewEntry{true, false, true};
inline constexpr EngineState kEntering{true, false, false};
inline constexpr EngineState kLocked{false, true, false};

// The adding-machine engine: immediate execution, left to right, in 80-bit extended
// precision. Every operand carries its decimal count; a result takes the larger one.
// Arithmetic failures throw corvalo::Error and leave the target entry as it was.
class CalculatorEngine {
  public:
    static constexpr std::size_t kStackSize = 4;

    std::int32_t decimals = 2;  // of the display
    bool showSeparatePercent = false;
    Operation lastOperation = Operation::None;
    std::int32_t operationCount = 0;  // like operations in a row, for the tape's item count
    long double memory = 0;
    std::array<long double, kStackSize> stack{};  // [0] is the top
    EngineState state = kReadyForNewEntry;
    std::array<std::int32_t, kStackSize> stackDecimals{};
    std::int32_t memoryDecimals = 0;

    void reset();  // the memory stays
    // Pushes the value with its decimal count; false, and nothing changes, for
    // Operation::None or an engine that is not ready.
    bool pushOperand(Operation operation, long double value, std::int32_t decimals);
    long double pop();
    long double topOfStack();  // also sets `decimals` to the top's decimal count
    // Runs one operation as its button does; false for the memory operations, which
    // leave nothing to show, and while the engine is not ready.
    bool addOperation(Operation operation);
    void evaluate(Operation operation);

  private:
    void shiftDown();
};

}  // namespace corvalo::deskcalc
