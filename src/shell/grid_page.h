#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "clipcalc/pipeline.h"
#include "clipcalc/statistics.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "shell/window_rules.h"

class QFont;
class QLabel;
class QLineEdit;

namespace corvalo::shell {

class EventTiming;
class GridGeometry;
class GridView;
class StatisticsStrip;
class ToolPanel;

// The first page: the result display, the tool panel and the number grid. It
// shows and commands the calculation the window owns; how big the window is
// stays the window's business.
class GridPage final : public QWidget, private clipcalc::ResultDisplay {
    Q_OBJECT
  public:
    // A paste of more UTF-8 than this shows the wait cursor.
    static constexpr std::size_t kBusyCursorBytes = 2 * 1024 * 1024;

    GridPage(clipcalc::CalcState& calc, clipcalc::Grid& grid, platform::Dialogs& dialogs,
             QWidget* parent = nullptr);

    ToolPanel& tools() { return *tools_; }
    // Reads the clipboard into the grid and shows the result; the window shows the
    // outcome's message and sizes itself.
    clipcalc::CalculateOutcome calculate(platform::Clipboard& clipboard);
    void setTabulationStyle(clipcalc::TabulationStyle style);
    void showResult();

    // The display panel's caption, 8-bit as the core made it.
    const std::string& displayCaption() const { return displayCaption_; }
    void setDisplayFont(const QFont& font, const QColor& colour);
    void setDisplayHeight(int height);
    void alignDisplayRight();

    void setGridFont(const QFont& font, const QColor& colour);
    // The hidden single-line edit whose height for the grid font sets the row height.
    void setGridFontProbe(const QFont& font);
    GridGeometry& gridGeometry();
    void gridGeometryChanged();

    // The fixed heights above the grid.
    GridPageHeights heights() const;
    void showGrid(bool shown);
    // The statistics line under the grid (while the grid shows) and the marks of the
    // cells whose text gave no number.
    void showStatistics(bool on);

  signals:
    // A click into the grid chose a line, and a click on a header the direction too.
    void lineChosen();

  private:
    void setDisplayCaption(const std::string& caption) override;
    void chooseLineAt(int col, int row);
    // recalculate; with the statistics line on, its figures come from the result's walk.
    void recalculateWithFigures();
    void refreshStatistics();
    template <class F>
    void guarded(F handler);

    clipcalc::CalcState& calc_;
    clipcalc::Grid& grid_;
    platform::Dialogs& dialogs_;
    std::string displayCaption_;

    QLabel* display_ = nullptr;
    ToolPanel* tools_ = nullptr;
    GridView* gridView_ = nullptr;
    StatisticsStrip* statistics_ = nullptr;
    bool statisticsOn_ = false;
    // The figures of the result being shown, while recalculateWithFigures shows it.
    std::optional<clipcalc::LineStatistics> resultFigures_;
    bool gridShown_ = false;
    QLineEdit* gridFontProbe_ = nullptr;
    EventTiming* timing_ = nullptr;
};

}  // namespace corvalo::shell
