#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <vector>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "shell/grid_geometry.h"

namespace corvalo::shell {

// The number grid: draws only the visible cells of clipcalc::Grid, straight from its
// text arena. Headers are empty button-face cells, the chosen line white, other
// data cells grey; a text sits 3 px from its cell's right edge and 2 px from the
// top, cut at the left so that its right-hand digits stay visible. On request a
// cell whose text gave no number shows a muted italic "text".
class GridView final : public QAbstractScrollArea {
    Q_OBJECT
  public:
    static constexpr QRgb kChosenColour = 0xFFFFFFFF;
    static constexpr QRgb kOtherColour = 0xFF808080;

    GridView(const clipcalc::Grid& grid, const clipcalc::CalcState& state,
             QWidget* parent = nullptr);

    void setGridFont(const QFont& font, const QColor& textColour);
    GridGeometry& gridGeometry() { return geometry_; }
    const GridGeometry& gridGeometry() const { return geometry_; }
    // After the grid's counts or cells changed.
    void gridChanged();
    // After row height or column widths changed through gridGeometry(): scroll bars and paint.
    void geometryChanged();
    // The cell's rectangle in viewport pixels (empty when scrolled away).
    QRect cellRect(int col, int row) const;
    // The background a cell is drawn with.
    QColor cellColour(int col, int row) const;
    // Marks the cells whose text gave no number, so that they differ from empty ones.
    void setMarkTextCells(bool on);

  signals:
    void cellClicked(int col, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QSize sizeHint() const override { return {200, 100}; }
    QSize minimumSizeHint() const override { return {1, 1}; }

  private:
    void updateScrollBars();
    void drawCell(QPainter& p, const QFontMetrics& fm, int col, int row, const QRect& rect);
    void drawTextMark(QPainter& p, int col, int row, const QRect& rect);

    const clipcalc::Grid& grid_;
    const clipcalc::CalcState& state_;
    GridGeometry geometry_;
    QColor textColour_;
    QString text_;                  // reused for each cell's text
    std::vector<int> visibleCols_;  // reused for each paint
    bool markTextCells_ = false;
    QFont markFont_;      // the grid's font in italic, for the marks
    int sizingCol_ = -1;  // column whose width a drag changes
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
};

}  // namespace corvalo::shell
