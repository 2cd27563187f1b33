#pragma once

#include <cmath>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "clipcalc/statistics.h"

namespace corvalo::clipcalc {

// The number a cell stands for: optional blanks, an optional sign, digits with
// an optional `decimal` and fraction digits (a digit or the separator at least),
// an optional exponent (one without digits counts as 0), optional blanks.
// Anything else, an empty cell and a value beyond the range of a double give 0.
double cellValue(std::string_view text, char decimal);

// The same reading, telling whether the text is a number at all: false for an
// empty or blank text, any other form, and a value beyond the range of a double.
bool cellNumber(std::string_view text, char decimal, double& v);

// The result of the current math mode over the chosen column or row, stored in
// lastResult. Zero divisors are skipped; in Subtraction and Division the first
// value to meet a zero accumulator becomes the minuend or dividend. A step
// beyond the range of a double throws Error("Floating point overflow") and
// leaves lastResult as it was.
void calculateLine(CalcState& state, const Grid& grid);

// The current math mode's result, one value at a time; over several grids in turn
// it is the result of one grid holding all their rows (an input read in pieces).
class LineResult {
  public:
    explicit LineResult(MathMode mode)
        : mode_(mode), acc_(mode == MathMode::Multiplication ? 1.0 : 0.0) {}
    // Throws Error("Floating point overflow") for a step beyond the range of a double.
    void step(double v) {
        switch (mode_) {
            case MathMode::Addition:
                acc_ += v;
                break;
            case MathMode::Subtraction:
                acc_ = acc_ == 0.0 ? v : acc_ - v;
                break;
            case MathMode::Multiplication:
                acc_ *= v;
                break;
            case MathMode::Division:
                if (v == 0.0) return;
                acc_ = acc_ == 0.0 ? v : acc_ / v;
                break;
        }
        if (!std::isfinite(acc_)) [[unlikely]]
            throwOverflow();
    }
    // Steps over the chosen column or row of the grid, as calculateLine does.
    void add(const CalcState& state, const Grid& grid);
    double value() const { return acc_; }

  private:
    [[noreturn]] static void throwOverflow();
    // The steps down the chosen column straight from the grid's arena; false, stepping
    // nothing, where the column cannot be walked so.
    bool addColumn(const CalcState& state, const Grid& grid);

    MathMode mode_;
    double acc_;
};
// The same, with the line's figures (lineStatistics) from the same walk. A sum of the
// figures beyond the range of a double sets figures.sumOverflow and stops nothing; an
// overflow of the result throws before anything is set.
void calculateLine(CalcState& state, const Grid& grid, LineStatistics& figures);

}  // namespace corvalo::clipcalc
