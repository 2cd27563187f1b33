#include "shell/grid_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace corvalo::shell {

namespace {

const QColor kLineColour(192, 192, 192);
constexpr int kTextRightGap = 3;
constexpr int kTextTopGap = 2;
// The mark of a cell whose text gave no number: muted against either background.
const QColor kMarkOnChosen(128, 128, 128);
const QColor kMarkOnOther(200, 200, 200);

}  // namespace

GridView::GridView(const clipcalc::Grid& grid, const clipcalc::CalcState& state, QWidget* parent)
    : QAbstractScrollArea(parent), grid_(grid), state_(state) {
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    markFont_.setItalic(true);
    gridChanged();
}

void GridView::setGridFont(const QFont& font, const QColor& textColour) {
    setFont(font);
    markFont_ = font;
    markFont_.setItalic(true);
    textColour_ = textColour;
    viewport()->update();
}

void GridView::setMarkTextCells(bool on) {
    markTextCells_ = on;
    viewport()->update();
}

void GridView::gridChanged() {
    geometry_.setCounts(grid_.colCount(), grid_.rowCount());
    updateScrollBars();
    viewport()->update();
}

void GridView::geometryChanged() {
    updateScrollBars();
    viewport()->update();
}

void GridView::updateScrollBars() {
    const QSize view = viewport()->size();
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    // Not blocked: the scroll area shows and hides its bars on rangeChanged.
    v->setRange(1, geometry_.maxTopRow(view.height()));
    v->setPageStep(std::max(geometry_.visibleRows(view.height()), 1));
    h->setRange(1, geometry_.maxLeftCol(view.width()));
    h->setPageStep(1);
    geometry_.setOrigin(std::min(geometry_.leftCol(), h->maximum()),
                        std::min(geometry_.topRow(), v->maximum()));
    h->setValue(geometry_.leftCol());
    v->setValue(geometry_.topRow());
}

void GridView::scrollContentsBy(int, int) {
    geometry_.setOrigin(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->update();
}

void GridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

QRect GridView::cellRect(int col, int row) const {
    const auto x = geometry_.colLeft(col);
    const auto y = geometry_.rowTop(row);
    if (!x || !y) return {};
    return {*x, *y, geometry_.colWidth(col), geometry_.rowHeight()};
}

QColor GridView::cellColour(int col, int row) const {
    if (col == 0 || row == 0) return palette().color(QPalette::Button);
    const bool chosen = state_.tabulationStyle == clipcalc::TabulationStyle::UsingColumns
                            ? col == state_.currentColumn
                            : row == state_.currentRow;
    return QColor::fromRgb(chosen ? kChosenColour : kOtherColour);
}

void GridView::drawCell(QPainter& p, const QFontMetrics& fm, int col, int row, const QRect& rect) {
    p.fillRect(rect, cellColour(col, row));
    if (col == 0 || row == 0) return;  // headers show no text and no numbering
    const std::string_view cell = grid_.cell(col, row);
    if (cell.empty()) {
        if (markTextCells_ && grid_.textOnly(col, row)) drawTextMark(p, col, row, rect);
        return;
    }
    text_.resize(static_cast<qsizetype>(cell.size()));
    QChar* out = text_.data();
    for (std::size_t i = 0; i < cell.size(); ++i) out[i] = QChar(static_cast<uchar>(cell[i]));
    const int left = rect.left() + rect.width() - fm.horizontalAdvance(text_) - kTextRightGap;
    p.setClipRect(rect);
    p.drawText(QPoint(left, rect.top() + kTextTopGap + fm.ascent()), text_);
    p.setClipping(false);
}

// Right-aligned like a number, so that a column of marks reads as one.
void GridView::drawTextMark(QPainter& p, int col, int row, const QRect& rect) {
    static const QString kMark = QStringLiteral("text");
    const QFontMetrics fm(markFont_);
    const int left = rect.left() + rect.width() - fm.horizontalAdvance(kMark) - kTextRightGap;
    const bool chosen = cellColour(col, row).rgb() == kChosenColour;
    p.save();
    p.setFont(markFont_);
    p.setPen(chosen ? kMarkOnChosen : kMarkOnOther);
    p.setClipRect(rect);
    p.drawText(QPoint(left, rect.top() + kTextTopGap + fm.ascent()), kMark);
    p.restore();
}

void GridView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QSize view = viewport()->size();
    p.fillRect(QRect(QPoint(0, 0), view), palette().color(QPalette::Base));
    p.setFont(font());
    p.setPen(textColour_);
    const QFontMetrics fm(font());

    constexpr int kLine = GridGeometry::kLineWidth;
    visibleCols_.clear();
    visibleCols_.push_back(0);
    int right = geometry_.colWidth(0) + kLine;
    for (int c = geometry_.leftCol(); c < geometry_.colCount() && right < view.width(); ++c) {
        visibleCols_.push_back(c);
        right += geometry_.colWidth(c) + kLine;
    }
    const int h = geometry_.rowHeight();
    const int lastRow = std::min(geometry_.rowCount() - 1,
                                 geometry_.topRow() + geometry_.visibleRows(view.height()));
    for (int r = 0; r <= lastRow; r = (r == 0 ? geometry_.topRow() : r + 1)) {
        if (r >= geometry_.rowCount()) break;
        const int y = r == 0 ? 0 : (r - geometry_.topRow() + 1) * (h + kLine);
        int x = 0;
        for (const int c : visibleCols_) {
            const int w = geometry_.colWidth(c);
            drawCell(p, fm, c, r, QRect(x, y, w, h));
            p.fillRect(QRect(x + w, y, kLine, h + kLine), kLineColour);
            p.fillRect(QRect(x, y + h, w, kLine), kLineColour);
            x += w + kLine;
        }
    }
}

void GridView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (const auto edge = geometry_.columnEdgeAt(at.x(), at.y())) {
            sizingCol_ = *edge;
            sizingStartX_ = at.x();
            sizingStartWidth_ = geometry_.colWidth(*edge);
        }
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (sizingCol_ >= 0) {
        geometry_.setColWidth(sizingCol_, sizingStartWidth_ + at.x() - sizingStartX_);
        updateScrollBars();
        viewport()->update();
        return;
    }
    const bool onEdge = geometry_.columnEdgeAt(at.x(), at.y()).has_value();
    viewport()->setCursor(onEdge ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (sizingCol_ >= 0) {
        sizingCol_ = -1;  // the end of a width drag is no click
        return;
    }
    const QPoint at = event->position().toPoint();
    if (const auto cell = geometry_.cellAt(at.x(), at.y())) emit cellClicked(cell->col, cell->row);
}

}  // namespace corvalo::shell
