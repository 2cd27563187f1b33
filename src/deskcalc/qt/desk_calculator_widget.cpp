#include "deskcalc/qt/desk_calculator_widget.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "platform/ansi_text.h"

namespace corvalo::deskcalc {

namespace {

constexpr int kFocusInset = 3;  // the focus rectangle sits this far inside "="

QString fromAnsi(const std::string& text) {
    return QString::fromStdString(platform::ansiToUtf8(text));
}

// Ctrl+letter as the character a key press produces: Ctrl+L -> '\x0C'.
char keyChar(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    const int key = event.key();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
        key <= Qt::Key_Z) {
        return static_cast<char>(key - Qt::Key_A + 1);
    }
    if (key == Qt::Key_Backspace) return '\x08';
    if (key == Qt::Key_Escape) return '\x1B';
    const QByteArray text = event.text().toUtf8();
    return platform::firstAnsiChar(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

}  // namespace

CalculatorDisplay::CalculatorDisplay(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAutoFillBackground(true);
    setTextFormat(Qt::PlainText);
    setText(QStringLiteral("0 "));
}

void CalculatorDisplay::mousePressEvent(QMouseEvent* event) {
    if (parentWidget() != nullptr) parentWidget()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

DeskCalculatorWidget::DeskCalculatorWidget(CalculatorServices services, char decimalSeparator,
                                           QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      decimalSeparator_(decimalSeparator),
      panel_(new CalculatorDisplay(this)),
      logic_(*this, decimalSeparator),
      tapeView_(new TapeView(logic_.tape(), this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the paint covers the whole area
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    font.setBold(true);
    setFont(font);
    tapeFont_ = QFont(QStringLiteral("Courier New"));
    tapeFont_.setStyleHint(QFont::TypeWriter);
    tapeFont_.setPixelSize(19);
    tapeFont_.setBold(true);
    tapeFontColor_ = palette().color(QPalette::Text);
    panel_->setFont(tapeFont_);
    tapeView_->setObjectName(QStringLiteral("tapeView"));
    tapeView_->setFont(tapeFont_);
    tapeView_->setVisible(false);
    logic_.tape().onLinesChanged = [this] { tapeView_->followTape(); };
    connect(tapeView_, &TapeView::clicked, this, [this] { setFocus(Qt::MouseFocusReason); });
    connect(tapeView_, &TapeView::lineDoubleClicked, this,
            [this](int index) { logic_.recallTapeLine(static_cast<std::size_t>(index)); });
    colors_.onColorChange = [this] { colorsChanged(); };
    colorsChanged();
    resize(200, 140);
    runLayout();
    logic_.clearAll();
}

QColor DeskCalculatorWidget::toQColor(Color color) const {
    if ((color & 0x80000000u) != 0) {
        switch (color) {
            case kSystemWindow:
                return palette().color(QPalette::Base);
            case kSystemWindowText:
                return palette().color(QPalette::Text);
            case kSystemButtonFace:
                return palette().color(QPalette::Button);
            default:
                return palette().color(QPalette::WindowText);
        }
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

QColor DeskCalculatorWidget::captionColor(Key button) const {
    return toQColor(buttonCaptionColor(colors_, button, logic_.memory() == 0));
}

void DeskCalculatorWidget::applyDisplayColors(const QColor& text) {
    QPalette pal = panel_->palette();
    pal.setColor(QPalette::Window, toQColor(colors_.display()));
    pal.setColor(QPalette::WindowText, text);
    panel_->setPalette(pal);
    tapeView_->setColors(toQColor(colors_.display()), text);
}

void DeskCalculatorWidget::colorsChanged() {
    applyDisplayColors(toQColor(colors_.displayTextColor()));
    update();
}

void DeskCalculatorWidget::setTapeFont(const QFont& font) {
    tapeFont_ = font;
    panel_->setFont(font);
    tapeView_->setFont(font);
    applyDisplayColors(tapeFontColor_);
}

void DeskCalculatorWidget::setTapeFont(const QFont& font, const QColor& colour) {
    tapeFontColor_ = colour;
    setTapeFont(font);
}

void DeskCalculatorWidget::setOptions(CalculatorOptions options) {
    if (options == logic_.options()) return;
    logic_.setOptions(options);
    runLayout();
    update();
}

void DeskCalculatorWidget::setTapeHeight(int height) {
    tapeHeight_ = height;
    runLayout();
    update();
}

void DeskCalculatorWidget::setTapeVisible(bool visible) {
    const CalculatorOptions now = options();
    setOptions(visible ? now.with(CalculatorOption::ShowTape)
                       : now.without(CalculatorOption::ShowTape));
}

void DeskCalculatorWidget::runLayout() {
    const QFontMetrics display(tapeFont_);
    CalculatorLayoutInput in;
    in.width = width();
    in.height = height();
    in.options = logic_.options();
    in.tapeHeight = tapeHeight_;
    in.displayTextHeight = display.height();
    in.digitsTextWidth = display.horizontalAdvance(QStringLiteral(" 0123456789"));
    layout_ = layoutCalculator(in);
    const Rect& d = layout_.display;
    panel_->setGeometry(d.left, d.top, d.width, d.height);
    const Rect& t = layout_.tape;
    if (layout_.tapeVisible) tapeView_->setGeometry(t.left, t.top, t.width, t.height);
    tapeView_->setVisible(layout_.tapeVisible);
    PaperTape& tape = logic_.tape();
    tape.setLineWidth(layout_.tapeChars);
    tape.setViewRows(layout_.tapeVisible
                         ? std::max(3, tapeView_->visibleRows())
                         : std::max(3, tapeHeight_ / std::max(1, display.height())));
    tape.fill();
    tape.rejustify();
}

QRect DeskCalculatorWidget::buttonRect(Key button) const {
    const Rect& r = layout_.button(button);
    return {r.left, r.top, r.width, r.height};
}

void DeskCalculatorWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setFont(font());
    for (int i = 1; i <= kButtonCount; ++i) {
        const Key b = keyAt(i);
        if (!layout_.isVisible(b)) continue;
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = buttonRect(b);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.state |= b == logic_.pressedButton() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        QRect text = opt.rect;
        if (b == logic_.pressedButton()) text.translate(1, 1);
        p.setPen(captionColor(b));
        p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine,
                   fromAnsi(buttonCaption(b, decimalSeparator_)));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            buttonRect(Key::Equals).adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        focus.backgroundColor = palette().color(QPalette::Button);
        // Styles draw it only for keyboard focus; the calculator shows it whenever focused.
        focus.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void DeskCalculatorWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runLayout();
}

void DeskCalculatorWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const Key before = logic_.pressedButton();
    logic_.setPressedButton(Key::None);
    if (before != Key::None) repaint(buttonRect(before));
    const QPoint pos = event->position().toPoint();
    const Key b = buttonAt(layout_, pos.x(), pos.y());
    if (b == Key::None) return;
    if ((b == Key::MemClear || b == Key::MemRecall) && logic_.memory() == 0) return;
    logic_.setPressedButton(b);
    repaint(buttonRect(b));
}

void DeskCalculatorWidget::mouseReleaseEvent(QMouseEvent* event) {
    const Key b = logic_.pressedButton();
    if (b == Key::None) return;
    const QPoint pos = event->position().toPoint();
    if (buttonRect(b).contains(pos)) logic_.pressButton(b);  // outside: the press is cancelled
    logic_.setPressedButton(Key::None);
    repaint(buttonRect(b));
}

void DeskCalculatorWidget::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    Key keyButton = Key::None;
    if (key == Qt::Key_Delete && mods == Qt::NoModifier) keyButton = Key::ClearEntry;
    if (key == Qt::Key_F9 && mods == Qt::NoModifier) keyButton = Key::ChangeSign;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) keyButton = Key::Equals;
    // Ctrl+M is the same character as Enter, so MS is taken from the key itself.
    if (key == Qt::Key_M && mods == Qt::ControlModifier) keyButton = Key::MemStore;
    if (keyButton != Key::None) {
        logic_.pressButton(keyButton);
        event->accept();
        return;
    }
    const char c = keyChar(*event);
    if (mapKeyChar(c, decimalSeparator_).action == KeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    logic_.keyPress(c);
    event->accept();
}

void DeskCalculatorWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void DeskCalculatorWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void DeskCalculatorWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyDisplayColors(toQColor(colors_.displayTextColor()));
        runLayout();
        update();
    }
}

void DeskCalculatorWidget::displayTextChanged(const std::string& text) {
    panel_->setText(fromAnsi(text));
}

void DeskCalculatorWidget::repaintButton(Key button) {
    if (button == Key::None) return;
    repaint(buttonRect(button));
}

void DeskCalculatorWidget::layoutChanged() {
    runLayout();
    update();
}

bool DeskCalculatorWidget::pressHeldByMouse() {
    return hasFocus() && (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void DeskCalculatorWidget::beep() {
    if (services_.beep) services_.beep();
}

std::optional<std::string> DeskCalculatorWidget::clipboardText() {
    if (!services_.clipboardText) return std::nullopt;
    return services_.clipboardText();
}

void DeskCalculatorWidget::setClipboardText(const std::string& ansi) {
    if (services_.setClipboardText) services_.setClipboardText(ansi);
}

}  // namespace corvalo::deskcalc
