#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <vector>

#include "calc/calc_state.h"
#include "calc/grid.h"
#include "shell/grid_geometry.h"

namespace corvalo::shell {

// The number grid: draws only the visible cells of calc::Grid, straight from its
// text arena. Headers are empty button-face cells, the chosen line white, other
// data cells grey; a text sits 3 px from its cell's right edge and 2 px from the
// top, cut at the left so that its right-hand digits stay visible.
class GridView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr QRgb kChosenColour = 0xFFFFFFFF;
    static constexpr QRgb kOtherColour = 0xFF808080;

    GridView(const calc::Grid& grid, const calc::CalcState& state, QWidget* parent = nullptr);

    void SetGridFont(const QFont& font, const QColor& textColour);
    GridGeometry& Geometry() { return geometry_; }
    const GridGeometry& Geometry() const { return geometry_; }
    // After the grid's counts or cells changed.
    void GridChanged();
    // After row height or column widths changed through Geometry(): scroll bars and paint.
    void GeometryChanged();
    // The cell's rectangle in viewport pixels (empty when scrolled away).
    QRect CellRect(int col, int row) const;
    // The background a cell is drawn with.
    QColor CellColour(int col, int row) const;

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

    const calc::Grid& grid_;
    const calc::CalcState& state_;
    GridGeometry geometry_;
    QColor textColour_;
    QString text_;                  // reused for each cell's text
    std::vector<int> visibleCols_;  // reused for each paint
    int sizingCol_ = -1;            // column whose width a drag changes
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
};

}  // namespace corvalo::shell
