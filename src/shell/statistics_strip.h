#pragma once

#include <QLabel>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "clipcalc/statistics.h"

namespace corvalo::shell {

// The strip's 8-bit text: "count 3   sum 6.00   mean 2.00   min 1.00   max 3.00", mean,
// min and max left out when the line holds no number, "   N text cells ignored" added
// when N > 0; "Floating point overflow" when the sum left the range of a double.
std::string statisticsCaption(const clipcalc::CalcState& state,
                              const clipcalc::LineStatistics& figures);

// One line under the grid with the figures of the chosen line.
class StatisticsStrip final : public QLabel {
    Q_OBJECT
  public:
    StatisticsStrip(const clipcalc::CalcState& state, const clipcalc::Grid& grid,
                    QWidget* parent = nullptr);

    // Reads the chosen line again; a sum beyond a double's range shows the error's text.
    void refresh();
    // Shows figures read with the result, without reading the line again.
    void showFigures(const clipcalc::LineStatistics& figures);
    // The text shown, 8-bit.
    const std::string& caption() const { return caption_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The caption, cut with "..." where the strip is too narrow; then whole as a tooltip.
    void showCaption();

    const clipcalc::CalcState& state_;
    const clipcalc::Grid& grid_;
    std::string caption_;
};

}  // namespace corvalo::shell
