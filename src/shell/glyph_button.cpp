#include "shell/glyph_button.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>

namespace corvalo::shell {

GlyphButton::GlyphButton(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setGlyph(makeSizeButtonGlyph());
}

void GlyphButton::setGlyph(const SizeGlyph& glyph) {
    glyph_ = glyph;
    image_ = QImage(kGlyphWidth, kGlyphHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kGlyphHeight; ++y) {
        for (int x = 0; x < kGlyphWidth; ++x) {
            QRgb rgb = qRgba(0, 0, 0, 0);  // white is transparent
            switch (glyph_[static_cast<std::size_t>(y * kGlyphWidth + x)]) {
                case GlyphInk::White:
                    break;
                case GlyphInk::Black:
                    rgb = qRgb(0, 0, 0);
                    break;
                case GlyphInk::Grey:
                    rgb = qRgb(128, 128, 128);
                    break;
            }
            image_.setPixel(x, y, rgb);
        }
    }
    update();
}

void GlyphButton::setGlyphEnabled(bool on) {
    enabled_ = on;
    update();
}

void GlyphButton::setLatched(bool down) {
    down_ = down;
    update();
}

int GlyphButton::shownImage() const {
    if (!enabled_) return 2;
    if (pressing_ && !down_) return 3;
    return down_ ? 4 : 1;
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    if (down_ || (pressing_ && enabled_)) {
        qDrawShadePanel(&p, r, palette(), true, 1);
    } else if (hover_ && enabled_) {
        qDrawShadePanel(&p, r, palette(), false, 1);
    }
    const int image = shownImage() - 1;
    const QPoint at((r.width() - 9) / 2 + (down_ ? 1 : 0), (r.height() - 9) / 2 + (down_ ? 1 : 0));
    p.drawImage(at, image_, QRect(image * 9, 0, 9, 9));
}

void GlyphButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!enabled_ || event->button() != Qt::LeftButton) return;
    pressing_ = true;
    update();
    emit mouseDown();
}

void GlyphButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!pressing_ || event->button() != Qt::LeftButton) return;
    pressing_ = false;
    update();
    emit mouseUp();
}

void GlyphButton::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void GlyphButton::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

}  // namespace corvalo::shell
