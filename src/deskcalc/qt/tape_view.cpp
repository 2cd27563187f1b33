#include "deskcalc/qt/tape_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "platform/ansi_text.h"

namespace corvalo::deskcalc {

namespace {

constexpr int kTextIndent = 2;  // keeps the mark off the scroll bar

}  // namespace

TapeView::TapeView(const PaperTape& tape, QWidget* parent)
    : QAbstractScrollArea(parent), tape_(tape) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);  // the calculator keeps the keyboard
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    background_ = palette().color(QPalette::Base);
    text_ = palette().color(QPalette::Text);
}

int TapeView::lineHeight() const {
    return std::max(1, fontMetrics().height());
}

int TapeView::visibleRows() const {
    // The contents rect, unlike the viewport, is right at once while the tape is hidden.
    return std::max(1, contentsRect().height() / lineHeight());
}

int TapeView::topLine() const {
    return verticalScrollBar()->value();
}

void TapeView::updateScrollRange() {
    const int rows = visibleRows();
    const auto lines = static_cast<int>(std::min<std::size_t>(
        tape_.lines().size(), static_cast<std::size_t>(std::numeric_limits<int>::max())));
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, lines - rows));
    bar->setPageStep(rows);
    bar->setSingleStep(1);
}

void TapeView::followTape() {
    updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

void TapeView::setColors(const QColor& background, const QColor& text) {
    background_ = background;
    text_ = text;
    viewport()->update();
}

void TapeView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), background_);
    p.setPen(text_);
    p.setFont(font());
    const auto& lines = tape_.lines();
    const int height = lineHeight();
    const int width = viewport()->width() - kTextIndent;
    int y = 0;
    for (auto i = static_cast<std::size_t>(std::max(0, topLine()));
         i < lines.size() && y < viewport()->height(); ++i, y += height) {
        if (lines[i].empty()) continue;
        // Right-aligned: until the next layout fits the line width to a new font, the
        // numbers and marks stay in view and only leading blanks fall off.
        p.drawText(QRect(0, y, width, height), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(platform::ansiToUtf8(lines[i])));
    }
}

void TapeView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void TapeView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) followTape();
}

void TapeView::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    event->accept();
}

void TapeView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const int row = event->position().toPoint().y() / lineHeight();
    const int index = topLine() + row;
    if (index >= 0 && static_cast<std::size_t>(index) < tape_.lines().size()) {
        emit lineDoubleClicked(index);
    }
    emit clicked();
}

}  // namespace corvalo::deskcalc
