#include "calculator/qt/calculator_widget.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "platform/ansi_text.h"

namespace corvalo::calculator {

namespace {

constexpr int kFocusInset = 3;  // the focus rectangle sits this far inside "="

QString fromAnsi(const std::string& text) {
    return QString::fromStdString(platform::AnsiToUtf8(text));
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
    return platform::FirstAnsiChar(
        std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

}  // namespace

TOvcCalcPanel::TOvcCalcPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAutoFillBackground(true);
    setTextFormat(Qt::PlainText);
    setText(QStringLiteral("0 "));
}

void TOvcCalcPanel::mousePressEvent(QMouseEvent* event) {
    if (parentWidget() != nullptr) parentWidget()->setFocus(Qt::MouseFocusReason);
    event->accept();
}

TOvcCalculator::TOvcCalculator(CalculatorServices services, char decimalSeparator, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      decimalSeparator_(decimalSeparator),
      panel_(new TOvcCalcPanel(this)),
      logic_(*this, decimalSeparator) {
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
    colors_.OnColorChange = [this] { colorsChanged(); };
    colorsChanged();
    resize(200, 140);
    runLayout();
    logic_.ClearAll();
}

QColor TOvcCalculator::ToQColor(TColor color) const {
    if ((color & 0x80000000u) != 0) {
        switch (color & 0xFFu) {
            case 5:
                return palette().color(QPalette::Base);  // clWindow
            case 8:
                return palette().color(QPalette::Text);  // clWindowText
            case 15:
                return palette().color(QPalette::Button);  // clBtnFace
            default:
                return palette().color(QPalette::WindowText);
        }
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

QColor TOvcCalculator::CaptionColor(TOvcCalculatorButton button) const {
    return ToQColor(ButtonCaptionColor(colors_, button, logic_.Memory() == 0));
}

void TOvcCalculator::applyDisplayColors(const QColor& text) {
    QPalette pal = panel_->palette();
    pal.setColor(QPalette::Window, ToQColor(colors_.Display()));
    pal.setColor(QPalette::WindowText, text);
    panel_->setPalette(pal);
}

void TOvcCalculator::colorsChanged() {
    applyDisplayColors(ToQColor(colors_.DisplayTextColor()));
    update();
}

void TOvcCalculator::SetTapeFont(const QFont& font) {
    tapeFont_ = font;
    panel_->setFont(font);
    applyDisplayColors(tapeFontColor_);
}

void TOvcCalculator::SetTapeFont(const QFont& font, const QColor& colour) {
    tapeFontColor_ = colour;
    SetTapeFont(font);
}

void TOvcCalculator::SetOptions(TOvcCalculatorOptions options) {
    if (options == logic_.Options()) return;
    logic_.SetOptions(options);
    runLayout();
    update();
}

void TOvcCalculator::SetTapeHeight(int height) {
    tapeHeight_ = height;
    runLayout();
    update();
}

void TOvcCalculator::runLayout() {
    const QFontMetrics display(tapeFont_);
    CalcLayoutInput in;
    in.width = width();
    in.height = height();
    in.options = logic_.Options();
    in.tapeHeight = tapeHeight_;
    in.displayTextHeight = display.height();
    in.digitsTextWidth = display.horizontalAdvance(QStringLiteral(" 0123456789"));
    layout_ = LayoutCalculator(in);
    const CalcRect& d = layout_.display;
    panel_->setGeometry(d.left, d.top, d.width, d.height);
    TOvcCalcTape& tape = logic_.Tape();
    tape.SetLineWidth(layout_.tapeChars);
    tape.SetViewRows(std::max(3, tapeHeight_ / std::max(1, display.height())));
    tape.Fill();
    tape.Rejustify();
}

QRect TOvcCalculator::buttonRect(TOvcCalculatorButton button) const {
    const CalcRect& r = layout_.buttons[button];
    return {r.left, r.top, r.width, r.height};
}

void TOvcCalculator::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setFont(font());
    for (int i = cbClearTape; i <= cbMemSubtract; ++i) {
        const auto b = static_cast<TOvcCalculatorButton>(i);
        if (!layout_.visible[b]) continue;
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.rect = buttonRect(b);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.state |= b == logic_.PressedButton() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        QRect text = opt.rect;
        if (b == logic_.PressedButton()) text.translate(1, 1);
        p.setPen(CaptionColor(b));
        p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine,
                   fromAnsi(ButtonCaption(b, decimalSeparator_)));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            buttonRect(cbEquals).adjusted(kFocusInset, kFocusInset, -kFocusInset, -kFocusInset);
        focus.backgroundColor = palette().color(QPalette::Button);
        // Styles draw it only for keyboard focus; the calculator shows it whenever focused.
        focus.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void TOvcCalculator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    runLayout();
}

void TOvcCalculator::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    const TOvcCalculatorButton before = logic_.PressedButton();
    logic_.SetPressedButton(cbNone);
    if (before != cbNone) repaint(buttonRect(before));
    const QPoint pos = event->position().toPoint();
    const TOvcCalculatorButton b = ButtonAt(layout_, pos.x(), pos.y());
    if (b == cbNone) return;
    if ((b == cbMemClear || b == cbMemRecall) && logic_.Memory() == 0) return;
    logic_.SetPressedButton(b);
    repaint(buttonRect(b));
}

void TOvcCalculator::mouseReleaseEvent(QMouseEvent* event) {
    const TOvcCalculatorButton b = logic_.PressedButton();
    if (b == cbNone) return;
    const QPoint pos = event->position().toPoint();
    if (buttonRect(b).contains(pos)) logic_.PressButton(b);  // outside: the press is cancelled
    logic_.SetPressedButton(cbNone);
    repaint(buttonRect(b));
}

void TOvcCalculator::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event->key();
    TOvcCalculatorButton keyButton = cbNone;
    if (key == Qt::Key_Delete && mods == Qt::NoModifier) keyButton = cbClearEntry;
    if (key == Qt::Key_F9 && mods == Qt::NoModifier) keyButton = cbChangeSign;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) keyButton = cbEquals;
    // Ctrl+M is the same character as Enter, so MS is taken from the key itself.
    if (key == Qt::Key_M && mods == Qt::ControlModifier) keyButton = cbMemStore;
    if (keyButton != cbNone) {
        logic_.PressButton(keyButton);
        event->accept();
        return;
    }
    const char c = keyChar(*event);
    if (MapKeyChar(c, decimalSeparator_).action == KeyAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    logic_.KeyPress(c);
    event->accept();
}

void TOvcCalculator::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TOvcCalculator::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TOvcCalculator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyDisplayColors(ToQColor(colors_.DisplayTextColor()));
        runLayout();
        update();
    }
}

void TOvcCalculator::DisplayTextChanged(const std::string& text) {
    panel_->setText(fromAnsi(text));
}

void TOvcCalculator::RepaintButton(TOvcCalculatorButton button) {
    if (button == cbNone) return;
    repaint(buttonRect(button));
}

void TOvcCalculator::LayoutChanged() {
    runLayout();
    update();
}

bool TOvcCalculator::PressHeldByMouse() {
    return hasFocus() && (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void TOvcCalculator::Beep() {
    if (services_.beep) services_.beep();
}

std::optional<std::string> TOvcCalculator::ClipboardText() {
    if (!services_.clipboardText) return std::nullopt;
    return services_.clipboardText();
}

void TOvcCalculator::SetClipboardText(const std::string& ansi) {
    if (services_.setClipboardText) services_.setClipboardText(ansi);
}

}  // namespace corvalo::calculator
