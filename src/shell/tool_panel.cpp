#include "shell/tool_panel.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <utility>

#include "platform/command_guard.h"
#include "shell/glyph_button.h"

namespace corvalo::shell {

namespace {

constexpr int kSquareButton = 33;
const char* const kHintDisplayGrid = " Display the grid ";
const char* const kHintHideGrid = " Hide the grid ";

QFont pixelFont(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

template <class F>
void ToolPanel::guarded(F handler) {
    platform::guarded(dialogs_, std::move(handler));
}

ToolPanel::ToolPanel(clipcalc::CalcState& calc, const clipcalc::Grid& grid,
                     clipcalc::ResultDisplay& display, platform::Dialogs& dialogs, QWidget* parent)
    : QFrame(parent), calc_(calc), grid_(grid), display_(display), dialogs_(dialogs) {
    setObjectName(QStringLiteral("tools"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    createButtons();
    createPopups();
    createHiddenModeButtons();
}

void ToolPanel::createButtons() {
    calculateButton_ = new QToolButton(this);
    calculateButton_->setObjectName(QStringLiteral("calculateButton"));
    calculateButton_->setAutoRaise(true);
    calculateButton_->setText(QStringLiteral("Calculate Clipboard"));
    calculateButton_->setFont(pixelFont("Verdana", 11));
    calculateButton_->setGeometry(8, kButtonTop, 152, kSquareButton);
    calculateButton_->setFocusPolicy(Qt::NoFocus);
    connect(calculateButton_, &QToolButton::clicked, this, &ToolPanel::calculateClicked);

    // The mode and decimal buttons sit side by side right of the calculate button.
    const int right = calculateButton_->x() + calculateButton_->width();
    mathModeButton_ = new QPushButton(QStringLiteral("+"), this);
    mathModeButton_->setObjectName(QStringLiteral("mathModeButton"));
    mathModeButton_->setFont(pixelFont("Verdana", 16));
    mathModeButton_->setGeometry(right, calculateButton_->y(), kSquareButton, kSquareButton);
    mathModeButton_->setContextMenuPolicy(Qt::CustomContextMenu);

    decimalsButton_ = new QPushButton(QStringLiteral("."), this);
    decimalsButton_->setObjectName(QStringLiteral("decimalsButton"));
    decimalsButton_->setFont(pixelFont("Verdana", 16));
    decimalsButton_->setGeometry(right + kSquareButton, kButtonTop, kSquareButton, kSquareButton);

    sizeButton_ = new GlyphButton(this);
    sizeButton_->setObjectName(QStringLiteral("sizeButton"));
    sizeButton_->setGeometry(0, kButtonTop, kSquareButton, kSquareButton);
    sizeButton_->setToolTip(QString::fromLatin1(kHintDisplayGrid));
    connect(sizeButton_, &GlyphButton::mouseDown, this, &ToolPanel::sizeButtonPressed);
    connect(sizeButton_, &GlyphButton::mouseUp, this, &ToolPanel::sizeButtonReleased);
}

// Pop-up menus of the tool buttons: no check marks, the button shows the choice.
void ToolPanel::createPopups() {
    mathModeMenu_ = new QMenu(this);
    mathModeMenu_->setObjectName(QStringLiteral("mathModeMenu"));
    const struct {
        const char* name;
        const char* caption;
        const char* button;
        clipcalc::MathMode mode;
    } modes[] = {
        {"actionAddition", "Addition", "+", clipcalc::MathMode::Addition},
        {"actionSubtraction", "Subtraction", "-", clipcalc::MathMode::Subtraction},
        {"actionMultiplication", "Multiplication", "x", clipcalc::MathMode::Multiplication},
        {"actionDivision", "Division", "/", clipcalc::MathMode::Division}};
    for (const auto& m : modes) {
        QAction* action = mathModeMenu_->addAction(QString::fromLatin1(m.caption));
        action->setObjectName(QString::fromLatin1(m.name));
        const char* button = m.button;
        const clipcalc::MathMode mode = m.mode;
        connect(action, &QAction::triggered, this, [this, mode, button] {
            guarded([this, mode, button] { setMathMode(mode, button); });
        });
    }
    connect(mathModeButton_, &QPushButton::clicked, this,
            [this] { openPopupRightOf(mathModeMenu_, mathModeButton_); });
    connect(mathModeButton_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mathModeMenu_->exec(mathModeButton_->mapToGlobal(at)); });

    decimalsMenu_ = new QMenu(this);
    decimalsMenu_->setObjectName(QStringLiteral("decimalsMenu"));
    for (int n = 0; n < 10; ++n) {
        QAction* action = decimalsMenu_->addAction(latin1(clipcalc::kDecimalMenuCaptions[n]));
        action->setObjectName(QStringLiteral("actionDecimals%1").arg(n));
        decimalActions_[static_cast<std::size_t>(n)] = action;
        connect(action, &QAction::triggered, this,
                [this, n] { guarded([this, n] { setDecimals(n); }); });
    }
    connect(decimalsButton_, &QPushButton::clicked, this,
            [this] { openPopupRightOf(decimalsMenu_, decimalsButton_); });
}

// Four flat mode buttons that are never shown: the user cannot reach them.
void ToolPanel::createHiddenModeButtons() {
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const char* captions[] = {"+", "-", "x", "/"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromLatin1(captions[i]));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setChecked(i == 0);
        button->hide();
        group->addButton(button);
        const auto mode = static_cast<clipcalc::MathMode>(i + 1);
        connect(button, &QToolButton::clicked, this, [this, mode] {
            guarded([this, mode] {
                calc_.mathMode = mode;
                clipcalc::recalculate(calc_, grid_, display_);
            });
        });
    }
}

void ToolPanel::setMathMode(clipcalc::MathMode mode, const char* caption) {
    mathModeButton_->setText(QString::fromLatin1(caption));
    calc_.mathMode = mode;
    clipcalc::recalculate(calc_, grid_, display_);
}

void ToolPanel::setDecimals(int n) {
    calc_.setResultDecimals(n);
    clipcalc::showResult(calc_, display_);
}

void ToolPanel::openPopupRightOf(QMenu* menu, QWidget* button) {
    menu->exec(button->mapToGlobal(QPoint(button->width(), 0)));
    emit popupClosed();
}

void ToolPanel::localiseDecimalMenu() {
    for (std::size_t n = 0; n < decimalActions_.size(); ++n) {
        decimalActions_[n]->setText(latin1(clipcalc::localiseDecimalCaption(
            clipcalc::kDecimalMenuCaptions[n], calc_.localeDecimalSeparator)));
    }
}

void ToolPanel::showDecimalSeparator() {
    decimalsButton_->setText(QString(QChar(static_cast<uchar>(calc_.localeDecimalSeparator))));
}

int ToolPanel::decimalButtonRight() const {
    return decimalsButton_->x() + decimalsButton_->width();
}

void ToolPanel::placeSizeButton(int left) {
    sizeButton_->move(left, kButtonTop);
}

void ToolPanel::showSizeMode(bool expanded) {
    sizeButton_->setLatched(expanded);
    sizeButton_->setToolTip(QString::fromLatin1(expanded ? kHintHideGrid : kHintDisplayGrid));
}

void ToolPanel::setSizeButtonEnabled(bool on) {
    sizeButton_->setGlyphEnabled(on);
}

void ToolPanel::blankSizeButtonDisabledImage() {
    SizeGlyph glyph = sizeButton_->glyph();
    blankDisabledGlyph(glyph);
    sizeButton_->setGlyph(glyph);
}

}  // namespace corvalo::shell
