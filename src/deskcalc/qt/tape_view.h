#pragma once

#include <QAbstractScrollArea>
#include <QColor>

#include "deskcalc/tape.h"

namespace corvalo::deskcalc {

// The paper tape above the display: its lines in the tape font on the display's colours,
// the newest line in view after every change, scrolled back by the wheel or the bar.
class TapeView final : public QAbstractScrollArea {
    Q_OBJECT
  public:
    TapeView(const PaperTape& tape, QWidget* parent);

    int lineHeight() const;   // the text height of the tape font
    int visibleRows() const;  // whole lines that fit, at least one
    int topLine() const;      // the first line in view
    // After the lines changed: the scroll range follows them and the newest line shows.
    void followTape();
    void setColors(const QColor& background, const QColor& text);

  signals:
    void clicked();
    void lineDoubleClicked(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void updateScrollRange();

    const PaperTape& tape_;
    QColor background_;
    QColor text_;
};

}  // namespace corvalo::deskcalc
