#pragma once

// Inside clipcalc only: the statistics line's figures gathered cell by cell, inline so
// that calculateLine can gather them in its own walk.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "clipcalc/parser.h"
#include "clipcalc/statistics.h"

namespace corvalo::clipcalc {

class FiguresAccumulator {
  public:
    // One cell as forEachLineCell reads it.
    void add(bool number, double v, std::string_view text, bool textOnly) {
        if (!number) {
            // Blanks alone are an empty cell too.
            if (textOnly || (!text.empty() && hasValue(text))) ++ignored_;
            return;
        }
        sum_ += v;  // the Addition result's own steps, in its order
        min_ = std::min(min_, v);
        max_ = std::max(max_, v);
        ++count_;
    }

    LineStatistics finish() const {
        LineStatistics s;
        s.count = count_;
        s.sum = sum_;
        s.ignored = ignored_;
        // Cells are finite, so a sum that left the range of a double never comes back.
        s.sumOverflow = !std::isfinite(sum_);
        if (count_ != 0) {
            s.mean = sum_ / static_cast<double>(count_);
            s.min = min_;
            s.max = max_;
        }
        return s;
    }

  private:
    std::int64_t count_ = 0;
    std::int64_t ignored_ = 0;
    double sum_ = 0.0;
    double min_ = std::numeric_limits<double>::infinity();
    double max_ = -std::numeric_limits<double>::infinity();
};

}  // namespace corvalo::clipcalc
