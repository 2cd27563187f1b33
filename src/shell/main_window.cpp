#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "calc/pipeline.h"
#include "calculator/qt/calculator_widget.h"
#include "platform/big_buffer.h"
#include "platform/qt/command_guard.h"
#include "platform/qt/font_dialog.h"
#include "platform/qt/tray_owner_filter.h"
#include "platform/qt/window_band.h"
#include "shell/about_box.h"
#include "shell/calculator_host.h"
#include "shell/glyph_button.h"
#include "shell/grid_view.h"
#include "shell/help.h"

namespace corvalo::shell {

namespace {

constexpr int kToolsHeight = 48;
constexpr int kTabStripHeight = 0;  // the pages show no tabs
constexpr int kButtonTop = 8;
constexpr int kSquareButton = 33;
const char* const kHintDisplayGrid = " Display the grid ";
const char* const kHintHideGrid = " Hide the grid ";

QFont pixelFont(const char* family, int pixels, bool bold = false) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

std::size_t effectsIndex(FontTarget target) { return static_cast<std::size_t>(target); }

// The tray's Close ends the loop; a version check waiting further down the call
// stack is cancelled first, or the program would run on until its time-out.
class ClosingTrayOwner final : public platform::TrayOwner {
public:
    ClosingTrayOwner(platform::TrayOwner& inner, net::VersionCheck& check)
        : inner_(inner), check_(check) {}
    bool isMinimized() const override { return inner_.isMinimized(); }
    bool isVisible() const override { return inner_.isVisible(); }
    void setNormalState() override { inner_.setNormalState(); }
    void hide() override { inner_.hide(); }
    void showAndActivate() override { inner_.showAndActivate(); }
    void minimize() override { inner_.minimize(); }
    void endMessageLoop() override {
        platform::TrayOwner& inner = inner_;
        if (!check_.CloseWhenIdle([&inner] { inner.endMessageLoop(); })) inner.endMessageLoop();
    }

private:
    platform::TrayOwner& inner_;
    net::VersionCheck& check_;
};

QAction* addItem(QMenu* menu, const char* caption, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

TformMain::TformMain(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(pixelFont("MS Sans Serif", 11));
    mainFont_ = {"Courier New", 8, 0, false, false};
    gridFont_ = {"Verdana", 10, 0, false, false};
    calculatorFont_ = {"Courier New", 14, 0, true, false};

    createMenus();
    createPages();
    // The resize rules keep the sizes; a layout minimum would lag a hidden grid by one event.
    setMinimumSize(1, 1);

    // FormCreate
    Initialised_ = false;
    calc_.MathMode = calc::MathMode::Addition;
    btnMathMode->move(speedBtnCalculate->x() + speedBtnCalculate->width(), speedBtnCalculate->y());
    btnDecimalFormat->move(btnMathMode->x() + btnMathMode->width(), kButtonTop);
    RestoredFromTray_ = false;

    net::VersionMessageSink& sink = *this;
    versionCheck_ = std::make_unique<net::VersionCheck>(services_.pump, services_.clock, sink,
                                                        services_.versionCheck,
                                                        services_.resolver);
    createTrayIcon();
    // Menu shortcuts must win over a focused control's own copy and paste keys.
    qApp->installEventFilter(this);
}

void TformMain::createTrayIcon() {
    const TrayErrorReport report = [this](const std::string& m) {
        services_.dialogs.ShowErrorReport(m);
    };
    trayParts_ = services_.trayParts ? services_.trayParts(*this, report)
                                     : QtTrayParts(*this, report);
    trayOwner_ = std::make_unique<ClosingTrayOwner>(*trayParts_.owner, *versionCheck_);
    StTrayIcon1 = std::make_unique<net::TStTrayIcon>(
        net::TrayIconServices{*trayParts_.area, *trayParts_.timer, *trayOwner_});
    StTrayIcon1->SetAnimate(true);
    StTrayIcon1->SetCloseToTray(false);
    StTrayIcon1->SetOnRestore([this](net::TStCustomTrayIcon&) { StTrayIcon1Restore(); });
    trayFilter_ = std::make_unique<platform::TrayOwnerFilter>(*StTrayIcon1, report);
    installEventFilter(trayFilter_.get());
    // Without a notification area this adds nothing yet: the icon waits for one.
    // An area that refuses the icon is reported; the program starts all the same.
    platform::Guarded(services_.dialogs, [this] { StTrayIcon1->loaded(); });
}

TformMain::~TformMain() { qApp->removeEventFilter(this); }

template <class F>
void TformMain::connectGuarded(QAction* action, F handler) {
    connect(action, &QAction::triggered, this, [this, handler] {
        platform::Guarded(services_.dialogs, [this, handler] { (this->*handler)(); });
    });
}

void TformMain::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    menuExit = addItem(file, "E&xit");
    connect(menuExit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    menuCopy = addItem(edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    menuPaste = addItem(edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    connectGuarded(menuCopy, &TformMain::menuCopyClick);
    connectGuarded(menuPaste, &TformMain::CalculateClipboard);

    QMenu* calculator = menuBar()->addMenu(QStringLiteral("&Calculator"));
    menuCalculatorOn = addItem(calculator, "&On", QKeySequence(Qt::Key_F9));
    menuCalculatorOff = addItem(calculator, "O&ff", QKeySequence(Qt::Key_F10));
    menuCalculatorOff->setEnabled(false);
    connectGuarded(menuCalculatorOn, &TformMain::menuCalculatorOnClick);
    connectGuarded(menuCalculatorOff, &TformMain::menuCalculatorOffClick);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    QMenu* fonts = options->addMenu(QStringLiteral("&Fonts"));
    mnuCalculatorDisplayFont = addItem(fonts, "&Calculator display");
    mnuMainDisplayFont = addItem(fonts, "&Main display");
    mnuGridFont = addItem(fonts, "&Grid");
    const struct {
        QAction* action;
        FontTarget target;
    } fontItems[] = {{mnuCalculatorDisplayFont, FontTarget::CalculatorDisplay},
                     {mnuMainDisplayFont, FontTarget::MainDisplay},
                     {mnuGridFont, FontTarget::Grid}};
    for (const auto& item : fontItems) {
        const FontTarget target = item.target;
        connect(item.action, &QAction::triggered, this, [this, target] {
            platform::Guarded(services_.dialogs, [this, target] { mnuFontClick(target); });
        });
    }
    Stayontop1 = addItem(options, "&Stay on top always", QKeySequence(Qt::Key_F11));
    Stayontop1->setCheckable(true);
    connectGuarded(Stayontop1, &TformMain::Stayontop1Click);
    Shrinktotray1 = addItem(options, "Shrink to tray", QKeySequence(Qt::Key_F12));
    connectGuarded(Shrinktotray1, &TformMain::Shrinktotray1Click);
    mnuCalculateBy = options->addMenu(QStringLiteral("&Calculate"));
    mnuByColumns = addItem(mnuCalculateBy, "Using &Columns", QKeySequence(Qt::Key_F4));
    mnuByRows = addItem(mnuCalculateBy, "Using &Rows", QKeySequence(Qt::Key_F5));
    mnuByColumns->setCheckable(true);
    mnuByRows->setCheckable(true);
    connect(mnuByColumns, &QAction::triggered, this, [this] {
        platform::Guarded(services_.dialogs,
                          [this] { SetTabulationStyle(calc::TabulationStyle::UsingColumns); });
    });
    connect(mnuByRows, &QAction::triggered, this, [this] {
        platform::Guarded(services_.dialogs,
                          [this] { SetTabulationStyle(calc::TabulationStyle::UsingRows); });
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    menuHelpHelp = addItem(help, "&Help", QKeySequence(Qt::Key_F1));
    Checkforlatestversion1 = addItem(help, "&Check for latest version");
    connectGuarded(menuHelpHelp, &TformMain::menuHelpHelpClick);
    connectGuarded(Checkforlatestversion1, &TformMain::Checkforlatestversion1Click);
    menuAbout = addItem(help, "&About");
    connectGuarded(menuAbout, &TformMain::menuAboutClick);

    // Pop-up menus of the tool buttons: no check marks, the button shows the choice.
    popupMathMode = new QMenu(this);
    const struct {
        QAction** action;
        const char* caption;
        const char* button;
        calc::MathMode mode;
    } modes[] = {{&Addition1, "Addition", "+", calc::MathMode::Addition},
                 {&Subtraction1, "Subtraction", "-", calc::MathMode::Subtraction},
                 {&Multiplication1, "Multiplication", "x", calc::MathMode::Multiplication},
                 {&Division1, "Division", "/", calc::MathMode::Division}};
    for (const auto& m : modes) {
        *m.action = addItem(popupMathMode, m.caption);
        const char* button = m.button;
        const calc::MathMode mode = m.mode;
        connect(*m.action, &QAction::triggered, this, [this, mode, button] {
            platform::Guarded(services_.dialogs,
                              [this, mode, button] { SetMathMode(mode, button); });
        });
    }
    popupDecimalPeriodMenu = new QMenu(this);
    for (int n = 0; n < 10; ++n) {
        const std::string_view caption = calc::kDecimalMenuCaptions[n];
        popupPeriod[static_cast<std::size_t>(n)] = popupDecimalPeriodMenu->addAction(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
        connect(popupPeriod[static_cast<std::size_t>(n)], &QAction::triggered, this, [this, n] {
            platform::Guarded(services_.dialogs, [this, n] { SetDecimals(n); });
        });
    }
}

void TformMain::createPages() {
    OvcNotebook1 = new QStackedWidget(this);
    setCentralWidget(OvcNotebook1);

    auto* page1 = new QWidget(OvcNotebook1);
    auto* layout1 = new QVBoxLayout(page1);
    layout1->setContentsMargins(0, 0, 0, 0);
    layout1->setSpacing(0);

    panelDisplay = new QLabel(page1);
    panelDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panelDisplay->setLineWidth(2);
    panelDisplay->setAutoFillBackground(true);
    QPalette displayPalette = panelDisplay->palette();
    displayPalette.setColor(QPalette::Window, displayPalette.color(QPalette::Base));
    panelDisplay->setPalette(displayPalette);
    panelDisplay->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    panelDisplay->setFocusPolicy(Qt::ClickFocus);
    panelDisplay->setTextFormat(Qt::PlainText);
    layout1->addWidget(panelDisplay);

    auto* tools = new QFrame(page1);
    tools->setFrameStyle(QFrame::Panel | QFrame::Raised);
    tools->setFixedHeight(kToolsHeight);
    tools->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    panelTools = tools;
    layout1->addWidget(panelTools);

    speedBtnCalculate = new QToolButton(panelTools);
    speedBtnCalculate->setAutoRaise(true);
    speedBtnCalculate->setText(QStringLiteral("Calculate Clipboard"));
    speedBtnCalculate->setFont(pixelFont("Verdana", 11));
    speedBtnCalculate->setGeometry(8, kButtonTop, 152, kSquareButton);
    speedBtnCalculate->setFocusPolicy(Qt::NoFocus);
    connect(speedBtnCalculate, &QToolButton::clicked, this,
            [this] { platform::Guarded(services_.dialogs, [this] { CalculateClipboard(); }); });

    btnMathMode = new QPushButton(QStringLiteral("+"), panelTools);
    btnMathMode->setFont(pixelFont("Verdana", 16));
    btnMathMode->setGeometry(0, kButtonTop, kSquareButton, kSquareButton);
    btnMathMode->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(btnMathMode, &QPushButton::clicked, this,
            [this] { openPopupRightOf(popupMathMode, btnMathMode); });
    connect(btnMathMode, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMathMode->exec(btnMathMode->mapToGlobal(at));
    });

    btnDecimalFormat = new QPushButton(QStringLiteral("."), panelTools);
    btnDecimalFormat->setFont(pixelFont("Verdana", 16));
    btnDecimalFormat->setGeometry(0, kButtonTop, kSquareButton, kSquareButton);
    connect(btnDecimalFormat, &QPushButton::clicked, this,
            [this] { openPopupRightOf(popupDecimalPeriodMenu, btnDecimalFormat); });

    speedbuttonChangeWindowSize = new GlyphButton(panelTools);
    speedbuttonChangeWindowSize->setGeometry(0, kButtonTop, kSquareButton, kSquareButton);
    speedbuttonChangeWindowSize->setToolTip(QString::fromLatin1(kHintDisplayGrid));
    connect(speedbuttonChangeWindowSize, &GlyphButton::mouseDown, this, [this] {
        platform::Guarded(services_.dialogs, [this] { ToggleWindowSize(); });
    });
    connect(speedbuttonChangeWindowSize, &GlyphButton::mouseUp, this, [this] {
        platform::Guarded(services_.dialogs, [this] { speedbuttonChangeWindowSizeMouseUp(); });
    });

    // Four flat mode buttons that are never shown: the user cannot reach them.
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    const char* captions[] = {"+", "-", "x", "/"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(panelTools);
        button->setText(QString::fromLatin1(captions[i]));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->hide();
        group->addButton(button);
        speedbuttonMath[static_cast<std::size_t>(i)] = button;
        const auto mode = static_cast<calc::MathMode>(i + 1);
        connect(button, &QToolButton::clicked, this, [this, mode] {
            platform::Guarded(services_.dialogs, [this, mode] {
                calc_.MathMode = mode;
                calc::Recalculate(calc_, grid_, *this);
            });
        });
    }
    speedbuttonMath[0]->setChecked(true);

    StringGrid1 = new GridView(grid_, calc_, page1);
    StringGrid1->hide();
    connect(StringGrid1, &GridView::cellClicked, this, [this](int col, int row) {
        platform::Guarded(services_.dialogs, [this, col, row] { StringGrid1MouseUp(col, row); });
    });
    layout1->addWidget(StringGrid1, 1);
    layout1->addStretch(0);

    edtBase = new QLineEdit(page1);
    edtBase->setReadOnly(true);
    edtBase->hide();

    auto* page2 = new QWidget(OvcNotebook1);
    auto* layout2 = new QVBoxLayout(page2);
    layout2->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(page2);
    Memo1->setMinimumSize(1, 1);
    layout2->addWidget(Memo1);

    auto* page3 = new QWidget(OvcNotebook1);
    auto* layout3 = new QVBoxLayout(page3);
    layout3->setContentsMargins(0, 0, 0, 0);
    OvcCalculator1 = new calculator::TOvcCalculator(
        CalculatorServicesFrom(services_.clipboard, services_.dialogs),
        services_.separators.decimal, page3);
    OvcCalculator1->setMinimumSize(1, 1);  // the resize rules keep its minimum, not the layout
    calculatorEntry_ = std::make_unique<CalculatorEntryOf>(*OvcCalculator1);
    layout3->addWidget(OvcCalculator1);

    OvcNotebook1->addWidget(page1);
    OvcNotebook1->addWidget(page2);
    OvcNotebook1->addWidget(page3);
    connect(OvcNotebook1, &QStackedWidget::currentChanged, this,
            [this](int index) { OvcNotebook1PageChanged(index); });
}

void TformMain::SetDisplayCaption(const std::string& caption) {
    displayCaption_ = caption;
    panelDisplay->setText(
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

SettingsTargets TformMain::targets() {
    return {calc_, shell_, mainFont_, gridFont_, calculatorFont_, left_, top_};
}

FrameExtra TformMain::Frame() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    int menu = menuBar()->heightForWidth(inner.width());
    if (menu < 0) menu = menuBar()->sizeHint().height();
    return {outer.width() - inner.width(), outer.height() - inner.height() + menu};
}

GridPageHeights TformMain::PageHeights() const {
    return {kTabStripHeight, panelDisplay->maximumHeight(), kToolsHeight};
}

void TformMain::resizeOuter(PixelSize outer) {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    resize(outer.width - (frame.width() - inner.width()),
           outer.height - (frame.height() - inner.height()));
}

void TformMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        platform::Guarded(services_.dialogs, [this] { FormShow(); });
    }
}

void TformMain::FormShow() {
    // Runs once: a later showing (back from the tray) keeps settings, decimals and result.
    if (RestoredFromTray_ || Initialised_) return;
    calc_.SetStartValues();
    shell_.StayOnTop = false;
    speedbuttonChangeWindowSize->SetGlyphEnabled(false);
    panelDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    calc_.LocaleDecimalSeparator = services_.separators.decimal;
    calc_.LocaleThousandSeparator = services_.separators.thousands;
    for (std::size_t n = 0; n < popupPeriod.size(); ++n) {
        const std::string caption = calc::LocaliseDecimalCaption(calc::kDecimalMenuCaptions[n],
                                                                 calc_.LocaleDecimalSeparator);
        popupPeriod[n]->setText(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
    }

    services_.settings.Load(targets());
    Stayontop1->setChecked(shell_.StayOnTop);
    updateDirectionChecks();
    applyFonts();
    if (Stayontop1->isChecked()) {
        // Changing the window band while Qt shows the window would hide it again.
        QTimer::singleShot(0, this, [this] { SetStayOnTop(Stayontop1->isChecked()); });
    }

    Expanded_ = false;
    AdjustDisplayHeight();
    placeStoredPosition();
    ApplyWindowMode();
    calc::ShowResult(calc_, *this);

    if (shell_.CalculatorDefaultStartup) {
        OvcNotebook1->setCurrentIndex(kCalculatorPage);
        menuCalculatorOn->setEnabled(false);
        menuCalculatorOff->setEnabled(true);
        ApplyCalculatorSize();
        OvcCalculator1->setFocus();
    } else {
        OvcNotebook1->setCurrentIndex(kGridPage);
        menuCalculatorOn->setEnabled(true);
        menuCalculatorOff->setEnabled(false);
    }
    btnDecimalFormat->setText(QString(QChar(static_cast<uchar>(calc_.LocaleDecimalSeparator))));
    Initialised_ = true;
    SavedPageIndex_ = OvcNotebook1->currentIndex();
    runResizeRules();
}

void TformMain::applyFonts() {
    for (const FontTarget target :
         {FontTarget::MainDisplay, FontTarget::Grid, FontTarget::CalculatorDisplay}) {
        showTargetFont(target);
    }
    ApplyFirstShowingGridMetrics(*this);
}

const FontSettings& TformMain::storedFont(FontTarget target) const {
    switch (target) {
        case FontTarget::MainDisplay:
            return mainFont_;
        case FontTarget::Grid:
            return gridFont_;
        case FontTarget::CalculatorDisplay:
            break;
    }
    return calculatorFont_;
}

FontSettings& TformMain::storedFont(FontTarget target) {
    return const_cast<FontSettings&>(std::as_const(*this).storedFont(target));
}

platform::FontSpec TformMain::TargetFont(FontTarget target) const {
    const FontEffects& effects = fontEffects_[effectsIndex(target)];
    return ToFontSpec(storedFont(target), effects.underline, effects.strikeOut);
}

void TformMain::SetTargetFont(FontTarget target, const platform::FontSpec& font) {
    storedFont(target) = ToFontSettings(font);
    fontEffects_[effectsIndex(target)] = {font.Underline, font.StrikeOut};
    showTargetFont(target);
}

// The control of a target shows its font: faces this computer lacks fall back
// through fontconfig, the stored name stays.
void TformMain::showTargetFont(FontTarget target) {
    const platform::FontSpec font = TargetFont(target);
    const QFont qfont = platform::ToQFont(font);
    const QColor colour =
        platform::ToQColor(font.Color, palette().color(QPalette::WindowText));
    switch (target) {
        case FontTarget::MainDisplay: {
            panelDisplay->setFont(qfont);
            QPalette displayPalette = panelDisplay->palette();
            displayPalette.setColor(QPalette::WindowText, colour);
            panelDisplay->setPalette(displayPalette);
            panelDisplay->repaint();
            break;
        }
        case FontTarget::Grid:
            StringGrid1->SetGridFont(qfont, colour);
            break;
        case FontTarget::CalculatorDisplay:
            SetCalculatorDisplayFont(*OvcCalculator1, qfont, colour);
            break;
    }
}

void TformMain::SetEdtBaseFont(const platform::FontSpec& font) {
    edtBase->setFont(platform::ToQFont(font));
}

int TformMain::TextHeight(const platform::FontSpec& font) const {
    return QFontMetrics(platform::ToQFont(font)).height();
}

int TformMain::GridRowHeight() const { return StringGrid1->Geometry().RowHeight(); }

void TformMain::SetGridRowHeight(int height) { StringGrid1->Geometry().SetRowHeight(height); }

int TformMain::GridColCount() const { return StringGrid1->Geometry().ColCount(); }

int TformMain::GridColWidth(int col) const { return StringGrid1->Geometry().ColWidth(col); }

void TformMain::SetGridColWidth(int col, int width) {
    StringGrid1->Geometry().SetColWidth(col, width);
}

void TformMain::SetGridDefaultColWidth(int width) {
    StringGrid1->Geometry().SetDefaultColWidth(width);
}

void TformMain::RepaintGrid() { StringGrid1->GeometryChanged(); }

void TformMain::mnuFontClick(FontTarget target) {
    RunFontCommand(target, services_.fonts, *this);
}

void TformMain::AdjustDisplayHeight() {
    panelDisplay->setFixedHeight(AdjustedDisplayHeight(*this));
}

void TformMain::placeStoredPosition() {
    std::vector<PixelRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr) {
        const QRect g = primary->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const FrameExtra frame = Frame();
    const PixelSize size = GridPageWindowSize(Expanded_, shell_, frame, PageHeights());
    const PixelRect placed = PlaceOnScreens({left_, top_, size.width, size.height}, screens);
    move(placed.left, placed.top);
}

void TformMain::ApplyWindowMode() {
    if (OvcNotebook1->currentIndex() != kGridPage) return;
    if (Expanded_) {
        resizeOuter(GridPageWindowSize(true, shell_, Frame(), PageHeights()));
        StringGrid1->show();
        StringGrid1->setFocus();
    } else {
        StringGrid1->hide();
        resizeOuter(GridPageWindowSize(false, shell_, Frame(), PageHeights()));
    }
}

void TformMain::ToggleWindowSize() {
    if (Expanded_) {
        speedbuttonChangeWindowSize->SetDown(false);
        speedbuttonChangeWindowSize->setToolTip(QString::fromLatin1(kHintDisplayGrid));
    } else {
        speedbuttonChangeWindowSize->SetDown(true);
        speedbuttonChangeWindowSize->setToolTip(QString::fromLatin1(kHintHideGrid));
    }
    Expanded_ = !Expanded_;
    speedbuttonChangeWindowSize->SetGlyphEnabled(false);
}

void TformMain::speedbuttonChangeWindowSizeMouseUp() {
    speedbuttonChangeWindowSize->SetGlyphEnabled(true);
    ApplyWindowMode();
}

void TformMain::ApplyCalculatorSize() {
    resizeOuter(CalculatorWindowSize(shell_, Frame(), kTabStripHeight));
}

void TformMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (Initialised_) runResizeRules();
}

void TformMain::runResizeRules() {
    // The rules' own size changes run them again; a window that refuses a size
    // must not make that endless.
    if (resizeDepth_ > 3) return;
    ++resizeDepth_;
    const FrameExtra frame = Frame();
    ResizeInput in;
    in.page = OvcNotebook1->currentIndex();
    in.expanded = Expanded_;
    in.outer = {frameGeometry().width(), frameGeometry().height()};
    in.frame = frame;
    in.decimalButtonRight = btnDecimalFormat->x() + btnDecimalFormat->width();
    in.heights = PageHeights();
    in.calculator = {OvcCalculator1->width(), OvcCalculator1->height()};
    const ResizeOutcome out = ApplyResizeRules(in, shell_);
    speedbuttonChangeWindowSize->move(out.sizeButtonLeft, kButtonTop);
    if (out.resizeTo) resizeOuter(*out.resizeTo);
    --resizeDepth_;
}

void TformMain::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    SavedPageIndex_ = OvcNotebook1->currentIndex();
}

void TformMain::closeEvent(QCloseEvent* event) {
    // A version check is waiting further down this very call stack: it is
    // cancelled now and closes the window again once its wait has unwound.
    if (versionCheck_->CloseWhenIdle([this] { close(); })) {
        event->ignore();
        return;
    }
    bool saved = false;
    platform::Guarded(services_.dialogs, [this, &saved] {
        left_ = x();
        top_ = y();
        services_.settings.Save(targets());
        saved = true;
    });
    // A refused write keeps the window open, with the error reported.
    if (saved) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TformMain::CalculateClipboard() {
    std::optional<platform::BigBuffer<char>> offered;
    if (platform::BigBuffer<char> text; platform::ReadAnsiText(services_.clipboard, text)) {
        offered = std::move(text);  // its memory becomes the grid's cell storage
    }
    calc::CalculateOutcome outcome;
    try {
        outcome = calc::CalculateClipboardText(std::move(offered), calc_, grid_, *this);
    } catch (...) {
        StringGrid1->GridChanged();  // the grid was filled before the overflow
        throw;
    }
    StringGrid1->GridChanged();

    if (!outcome.messageText.empty()) services_.dialogs.ShowMessage(outcome.messageText);
    if (!outcome.calculated) return;
    if (outcome.gridNeeded && !Expanded_) ToggleWindowSize();
    ApplyWindowMode();
    speedbuttonChangeWindowSize->SetGlyphEnabled(true);
    SizeGlyph glyph = speedbuttonChangeWindowSize->Glyph();
    BlankDisabledGlyph(glyph);
    speedbuttonChangeWindowSize->SetGlyph(glyph);
}

void TformMain::menuCopyClick() {
    const std::string text = OvcNotebook1->currentIndex() == kGridPage
                                 ? TrimControl(displayCaption_)
                                 : TrimControl(calculatorEntry_->EntryText());
    platform::WriteAnsiText(services_.clipboard, text);
}

void TformMain::StringGrid1MouseUp(int col, int row) {
    if (!ChooseLineByClick(calc_, col, row, grid_.ColCount(), grid_.RowCount())) return;
    updateDirectionChecks();
    calc::Recalculate(calc_, grid_, *this);
    StringGrid1->viewport()->repaint();
}

void TformMain::SetTabulationStyle(calc::TabulationStyle style) {
    calc_.TabulationStyle = style;
    updateDirectionChecks();
    calc::Recalculate(calc_, grid_, *this);
    StringGrid1->viewport()->update();
}

void TformMain::updateDirectionChecks() {
    const bool columns = calc_.TabulationStyle == calc::TabulationStyle::UsingColumns;
    mnuByColumns->setChecked(columns);
    mnuByRows->setChecked(!columns);
}

void TformMain::SetMathMode(calc::MathMode mode, const char* caption) {
    btnMathMode->setText(QString::fromLatin1(caption));
    calc_.MathMode = mode;
    calc::Recalculate(calc_, grid_, *this);
}

void TformMain::SetDecimals(int n) {
    calc_.SetResultDecimals(n);
    calc::ShowResult(calc_, *this);
}

void TformMain::openPopupRightOf(QMenu* menu, QWidget* button) {
    menu->exec(button->mapToGlobal(QPoint(button->width(), 0)));
    panelDisplay->setFocus();
}

void TformMain::menuCalculatorOnClick() {
    OvcNotebook1->setCurrentIndex(kCalculatorPage);
    menuCalculatorOff->setEnabled(true);
    menuCalculatorOn->setEnabled(false);
    ApplyCalculatorSize();
    OvcCalculator1->setFocus();  // the keys go straight to the calculator
}

void TformMain::menuCalculatorOffClick() {
    OvcNotebook1->setCurrentIndex(kGridPage);
    menuCalculatorOn->setEnabled(true);
    menuCalculatorOff->setEnabled(false);
    ApplyWindowMode();
}

void TformMain::OvcNotebook1PageChanged(int index) {
    // The direction commands act on the grid page only, shortcut keys included.
    const bool gridPage = index == kGridPage;
    mnuCalculateBy->setEnabled(gridPage);
    mnuByColumns->setEnabled(gridPage);
    mnuByRows->setEnabled(gridPage);
}

void TformMain::Stayontop1Click() {
    shell_.StayOnTop = Stayontop1->isChecked();
    SetStayOnTop(shell_.StayOnTop);
}

void TformMain::Checkforlatestversion1Click() {
    // Ignored by the check itself while an earlier one still waits.
    versionCheck_->Run(shell_.Proxy, shell_.ProxyPort);
}

void TformMain::ShowVersionMessage(const std::string& text) {
    services_.dialogs.ShowMessage(text);
}

void TformMain::SetStayOnTop(bool on) { platform::SetStayOnTop(*this, on); }

void TformMain::Shrinktotray1Click() {
    SavedPageIndex_ = OvcNotebook1->currentIndex();
    // Without a notification area the window is minimised instead: never out of reach.
    StTrayIcon1->shrinkToTray();
}

void TformMain::StTrayIcon1Restore() {
    RestoredFromTray_ = true;
    // A window that was not hidden keeps its page: the remembered one could be
    // another than the calculator menu's state says.
    if (isVisible()) SavedPageIndex_ = OvcNotebook1->currentIndex();
    OvcNotebook1->setCurrentIndex(SavedPageIndex_);
}

void TformMain::menuHelpHelpClick() {
    shell::menuHelpHelpClick(services_.programFolder, helpFile_, services_.dialogs,
                             services_.help);
}

void TformMain::menuAboutClick() { ShowAboutBox(this); }

bool TformMain::isMenuShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : {menuCopy, menuPaste}) {
        if (action->isEnabled() && action->shortcut() == pressed) return true;
    }
    return false;
}

bool TformMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();  // not wanted by the control: the menu's shortcut runs
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace corvalo::shell
