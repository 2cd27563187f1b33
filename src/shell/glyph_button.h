#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "shell/window_rules.h"

namespace corvalo::shell {

// A flat button drawn from a four-image glyph (up, disabled, pressed, latched
// down). Its enabled state is its own, not the widget's: a handler may disable
// it on mouse down and the matching mouse up must still arrive.
class GlyphButton final : public QWidget {
    Q_OBJECT
  public:
    explicit GlyphButton(QWidget* parent = nullptr);

    void setGlyph(const SizeGlyph& glyph);
    const SizeGlyph& glyph() const { return glyph_; }
    void setGlyphEnabled(bool on);
    bool glyphEnabled() const { return enabled_; }
    // Latched down (the expanded state) or up.
    void setLatched(bool down);
    bool isLatched() const { return down_; }
    // The image shown now, 1 to 4.
    int shownImage() const;

  signals:
    void mouseDown();
    void mouseUp();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    SizeGlyph glyph_{};
    QImage image_;
    bool enabled_ = true;
    bool down_ = false;
    bool pressing_ = false;
    bool hover_ = false;
};

}  // namespace corvalo::shell
