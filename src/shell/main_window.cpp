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

#include "clipcalc/pipeline.h"
#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/big_buffer.h"
#include "platform/command_guard.h"
#include "platform/qt/font_dialog.h"
#include "tray/qt/tray_owner_filter.h"
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

// The tray's Close ends the loop; a version check waiting further down the call
// stack is cancelled first, or the program would run on until its time-out.
class ClosingTrayOwner final : public tray::TrayOwner {
public:
    ClosingTrayOwner(tray::TrayOwner& inner, net::VersionCheck& check)
        : inner_(inner), check_(check) {}
    bool isMinimized() const override { return inner_.isMinimized(); }
    bool isVisible() const override { return inner_.isVisible(); }
    void setNormalState() override { inner_.setNormalState(); }
    void hide() override { inner_.hide(); }
    void showAndActivate() override { inner_.showAndActivate(); }
    void minimize() override { inner_.minimize(); }
    void endMessageLoop() override {
        tray::TrayOwner& inner = inner_;
        if (!check_.closeWhenIdle([&inner] { inner.endMessageLoop(); })) inner.endMessageLoop();
    }

private:
    tray::TrayOwner& inner_;
    net::VersionCheck& check_;
};

QAction* addItem(QMenu* menu, const char* caption, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

MainWindow::MainWindow(const WindowServices& services, QWidget* parent)
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

    // loadPicture
    initialised_ = false;
    calc_.mathMode = clipcalc::MathMode::Addition;
    btnMathMode->move(speedBtnCalculate->x() + speedBtnCalculate->width(), speedBtnCalculate->y());
    btnDecimalFormat->move(btnMathMode->x() + btnMathMode->width(), kButtonTop);
    restoredFromTray_ = false;

    net::VersionMessageSink& sink = *this;
    versionCheck_ = std::make_unique<net::VersionCheck>(services_.pump, services_.clock, sink,
                                                        services_.versionCheck,
                                                        services_.resolver);
    createTrayIcon();
    // Menu shortcuts must win over a focused control's own copy and paste keys.
    qApp->installEventFilter(this);
}

void MainWindow::createTrayIcon() {
    const TrayErrorReport report = [this](const std::string& m) {
        services_.dialogs.showErrorReport(m);
    };
    trayParts_ = services_.trayParts ? services_.trayParts(*this, report)
                                     : qtTrayParts(*this, report);
    trayOwner_ = std::make_unique<ClosingTrayOwner>(*trayParts_.owner, *versionCheck_);
    trayIcon_ = std::make_unique<tray::TrayIcon>(
        tray::TrayIconServices{*trayParts_.area, *trayParts_.timer, *trayOwner_});
    trayIcon_->setAnimate(true);
    trayIcon_->setCloseToTray(false);
    trayIcon_->setOnRestore([this](tray::TrayIconBase&) { onRestoredFromTray(); });
    trayFilter_ = std::make_unique<tray::TrayOwnerFilter>(*trayIcon_, report);
    installEventFilter(trayFilter_.get());
    // Without a notification area this adds nothing yet: the icon waits for one.
    // An area that refuses the icon is reported; the program starts all the same.
    platform::guarded(services_.dialogs, [this] { trayIcon_->loaded(); });
}

MainWindow::~MainWindow() { qApp->removeEventFilter(this); }

template <class F>
void MainWindow::connectGuarded(QAction* action, F handler) {
    connect(action, &QAction::triggered, this, [this, handler] {
        platform::guarded(services_.dialogs, [this, handler] { (this->*handler)(); });
    });
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    menuExit = addItem(file, "E&xit");
    connect(menuExit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    menuCopy = addItem(edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    menuPaste = addItem(edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    connectGuarded(menuCopy, &MainWindow::copyDisplayed);
    connectGuarded(menuPaste, &MainWindow::calculateClipboard);

    QMenu* calculator = menuBar()->addMenu(QStringLiteral("&Calculator"));
    menuCalculatorOn = addItem(calculator, "&On", QKeySequence(Qt::Key_F9));
    menuCalculatorOff = addItem(calculator, "O&ff", QKeySequence(Qt::Key_F10));
    menuCalculatorOff->setEnabled(false);
    connectGuarded(menuCalculatorOn, &MainWindow::showCalculatorPage);
    connectGuarded(menuCalculatorOff, &MainWindow::hideCalculatorPage);

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
            platform::guarded(services_.dialogs, [this, target] { chooseFont(target); });
        });
    }
    stayOnTopAction = addItem(options, "&Stay on top always", QKeySequence(Qt::Key_F11));
    stayOnTopAction->setCheckable(true);
    connectGuarded(stayOnTopAction, &MainWindow::toggleStayOnTop);
    shrinkToTrayAction = addItem(options, "Shrink to tray", QKeySequence(Qt::Key_F12));
    connectGuarded(shrinkToTrayAction, &MainWindow::shrinkToTray);
    mnuCalculateBy = options->addMenu(QStringLiteral("&Calculate"));
    mnuByColumns = addItem(mnuCalculateBy, "Using &Columns", QKeySequence(Qt::Key_F4));
    mnuByRows = addItem(mnuCalculateBy, "Using &Rows", QKeySequence(Qt::Key_F5));
    mnuByColumns->setCheckable(true);
    mnuByRows->setCheckable(true);
    connect(mnuByColumns, &QAction::triggered, this, [this] {
        platform::guarded(services_.dialogs,
                          [this] { setTabulationStyle(clipcalc::TabulationStyle::UsingColumns); });
    });
    connect(mnuByRows, &QAction::triggered, this, [this] {
        platform::guarded(services_.dialogs,
                          [this] { setTabulationStyle(clipcalc::TabulationStyle::UsingRows); });
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    menuHelpHelp = addItem(help, "&Help", QKeySequence(Qt::Key_F1));
    checkVersionAction = addItem(help, "&Check for latest version");
    connectGuarded(menuHelpHelp, &MainWindow::showHelp);
    connectGuarded(checkVersionAction, &MainWindow::checkForLatestVersion);
    menuAbout = addItem(help, "&About");
    connectGuarded(menuAbout, &MainWindow::showAbout);

    // Pop-up menus of the tool buttons: no check marks, the button shows the choice.
    popupMathMode = new QMenu(this);
    const struct {
        QAction** action;
        const char* caption;
        const char* button;
        clipcalc::MathMode mode;
    } modes[] = {{&additionAction, "Addition", "+", clipcalc::MathMode::Addition},
                 {&subtractionAction, "Subtraction", "-", clipcalc::MathMode::Subtraction},
                 {&multiplicationAction, "Multiplication", "x", clipcalc::MathMode::Multiplication},
                 {&divisionAction, "Division", "/", clipcalc::MathMode::Division}};
    for (const auto& m : modes) {
        *m.action = addItem(popupMathMode, m.caption);
        const char* button = m.button;
        const clipcalc::MathMode mode = m.mode;
        connect(*m.action, &QAction::triggered, this, [this, mode, button] {
            platform::guarded(services_.dialogs,
                              [this, mode, button] { setMathMode(mode, button); });
        });
    }
    popupDecimalPeriodMenu = new QMenu(this);
    for (int n = 0; n < 10; ++n) {
        const std::string_view caption = clipcalc::kDecimalMenuCaptions[n];
        popupPeriod[static_cast<std::size_t>(n)] = popupDecimalPeriodMenu->addAction(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
        connect(popupPeriod[static_cast<std::size_t>(n)], &QAction::triggered, this, [this, n] {
            platform::guarded(services_.dialogs, [this, n] { setDecimals(n); });
        });
    }
}

void MainWindow::createPages() {
    pages_ = new QStackedWidget(this);
    setCentralWidget(pages_);

    auto* page1 = new QWidget(pages_);
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
            [this] { platform::guarded(services_.dialogs, [this] { calculateClipboard(); }); });

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
        platform::guarded(services_.dialogs, [this] { toggleWindowSize(); });
    });
    connect(speedbuttonChangeWindowSize, &GlyphButton::mouseUp, this, [this] {
        platform::guarded(services_.dialogs, [this] { onSizeButtonReleased(); });
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
        const auto mode = static_cast<clipcalc::MathMode>(i + 1);
        connect(button, &QToolButton::clicked, this, [this, mode] {
            platform::guarded(services_.dialogs, [this, mode] {
                calc_.mathMode = mode;
                clipcalc::recalculate(calc_, grid_, *this);
            });
        });
    }
    speedbuttonMath[0]->setChecked(true);

    gridView_ = new GridView(grid_, calc_, page1);
    gridView_->hide();
    connect(gridView_, &GridView::cellClicked, this, [this](int col, int row) {
        platform::guarded(services_.dialogs, [this, col, row] { chooseLineAt(col, row); });
    });
    layout1->addWidget(gridView_, 1);
    layout1->addStretch(0);

    edtBase = new QLineEdit(page1);
    edtBase->setReadOnly(true);
    edtBase->hide();

    auto* page2 = new QWidget(pages_);
    auto* layout2 = new QVBoxLayout(page2);
    layout2->setContentsMargins(0, 0, 0, 0);
    textPage_ = new QPlainTextEdit(page2);
    textPage_->setMinimumSize(1, 1);
    layout2->addWidget(textPage_);

    auto* page3 = new QWidget(pages_);
    auto* layout3 = new QVBoxLayout(page3);
    layout3->setContentsMargins(0, 0, 0, 0);
    calculator_ = new deskcalc::DeskCalculatorWidget(
        calculatorServicesFrom(services_.clipboard, services_.dialogs),
        services_.separators.decimal, page3);
    calculator_->setMinimumSize(1, 1);  // the resize rules keep its minimum, not the layout
    calculatorEntry_ = std::make_unique<CalculatorEntryOf>(*calculator_);
    layout3->addWidget(calculator_);

    pages_->addWidget(page1);
    pages_->addWidget(page2);
    pages_->addWidget(page3);
    connect(pages_, &QStackedWidget::currentChanged, this,
            [this](int index) { onPageChanged(index); });
}

void MainWindow::setDisplayCaption(const std::string& caption) {
    displayCaption_ = caption;
    panelDisplay->setText(
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

SettingsTargets MainWindow::targets() {
    return {calc_, shell_, mainFont_, gridFont_, calculatorFont_, left_, top_};
}

FrameExtra MainWindow::frameExtra() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    int menu = menuBar()->heightForWidth(inner.width());
    if (menu < 0) menu = menuBar()->sizeHint().height();
    return {outer.width() - inner.width(), outer.height() - inner.height() + menu};
}

GridPageHeights MainWindow::pageHeights() const {
    return {kTabStripHeight, panelDisplay->maximumHeight(), kToolsHeight};
}

void MainWindow::resizeOuter(PixelSize outer) {
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    resize(outer.width - (frame.width() - inner.width()),
           outer.height - (frame.height() - inner.height()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        platform::guarded(services_.dialogs, [this] { initialiseOnFirstShow(); });
    }
}

void MainWindow::initialiseOnFirstShow() {
    // Runs once: a later showing (back from the tray) keeps settings, decimals and result.
    if (restoredFromTray_ || initialised_) return;
    calc_.setStartValues();
    shell_.stayOnTop = false;
    speedbuttonChangeWindowSize->setGlyphEnabled(false);
    panelDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    calc_.localeDecimalSeparator = services_.separators.decimal;
    calc_.localeThousandSeparator = services_.separators.thousands;
    for (std::size_t n = 0; n < popupPeriod.size(); ++n) {
        const std::string caption = clipcalc::localiseDecimalCaption(clipcalc::kDecimalMenuCaptions[n],
                                                                 calc_.localeDecimalSeparator);
        popupPeriod[n]->setText(
            QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
    }

    services_.settings.load(targets());
    stayOnTopAction->setChecked(shell_.stayOnTop);
    updateDirectionChecks();
    applyFonts();
    if (stayOnTopAction->isChecked()) {
        // Changing the window band while Qt shows the window would hide it again.
        QTimer::singleShot(0, this, [this] { setStayOnTop(stayOnTopAction->isChecked()); });
    }

    expanded_ = false;
    adjustDisplayHeight();
    placeStoredPosition();
    applyWindowMode();
    clipcalc::showResult(calc_, *this);

    if (shell_.calculatorDefaultStartup) {
        pages_->setCurrentIndex(kCalculatorPage);
        menuCalculatorOn->setEnabled(false);
        menuCalculatorOff->setEnabled(true);
        applyCalculatorSize();
        calculator_->setFocus();
    } else {
        pages_->setCurrentIndex(kGridPage);
        menuCalculatorOn->setEnabled(true);
        menuCalculatorOff->setEnabled(false);
    }
    btnDecimalFormat->setText(QString(QChar(static_cast<uchar>(calc_.localeDecimalSeparator))));
    initialised_ = true;
    savedPageIndex_ = pages_->currentIndex();
    runResizeRules();
}

void MainWindow::applyFonts() {
    for (const FontTarget target :
         {FontTarget::MainDisplay, FontTarget::Grid, FontTarget::CalculatorDisplay}) {
        showTargetFont(target);
    }
    applyFirstShowingGridMetrics(*this);
}

const platform::FontSpec& MainWindow::storedFont(FontTarget target) const {
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

platform::FontSpec& MainWindow::storedFont(FontTarget target) {
    return const_cast<platform::FontSpec&>(std::as_const(*this).storedFont(target));
}

platform::FontSpec MainWindow::targetFont(FontTarget target) const {
    return storedFont(target);
}

void MainWindow::setTargetFont(FontTarget target, const platform::FontSpec& font) {
    storedFont(target) = font;
    showTargetFont(target);
}

// The control of a target shows its font: faces this computer lacks fall back
// through fontconfig, the stored name stays.
void MainWindow::showTargetFont(FontTarget target) {
    const platform::FontSpec font = targetFont(target);
    const QFont qfont = platform::toQFont(font);
    const QColor colour =
        platform::toQColor(font.color, palette().color(QPalette::WindowText));
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
            gridView_->setGridFont(qfont, colour);
            break;
        case FontTarget::CalculatorDisplay:
            setCalculatorDisplayFont(*calculator_, qfont, colour);
            break;
    }
}

void MainWindow::setEdtBaseFont(const platform::FontSpec& font) {
    edtBase->setFont(platform::toQFont(font));
}

int MainWindow::textHeight(const platform::FontSpec& font) const {
    return QFontMetrics(platform::toQFont(font)).height();
}

int MainWindow::gridRowHeight() const { return gridView_->gridGeometry().rowHeight(); }

void MainWindow::setGridRowHeight(int height) { gridView_->gridGeometry().setRowHeight(height); }

int MainWindow::gridColCount() const { return gridView_->gridGeometry().colCount(); }

int MainWindow::gridColWidth(int col) const { return gridView_->gridGeometry().colWidth(col); }

void MainWindow::setGridColWidth(int col, int width) {
    gridView_->gridGeometry().setColWidth(col, width);
}

void MainWindow::setGridDefaultColWidth(int width) {
    gridView_->gridGeometry().setDefaultColWidth(width);
}

void MainWindow::repaintGrid() { gridView_->geometryChanged(); }

void MainWindow::chooseFont(FontTarget target) {
    runFontCommand(target, services_.fonts, *this);
}

void MainWindow::adjustDisplayHeight() {
    panelDisplay->setFixedHeight(adjustedDisplayHeight(*this));
}

void MainWindow::placeStoredPosition() {
    std::vector<PixelRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr) {
        const QRect g = primary->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const FrameExtra frame = frameExtra();
    const PixelSize size = gridPageWindowSize(expanded_, shell_, frame, pageHeights());
    const PixelRect placed = placeOnScreens({left_, top_, size.width, size.height}, screens);
    move(placed.left, placed.top);
}

void MainWindow::applyWindowMode() {
    if (pages_->currentIndex() != kGridPage) return;
    if (expanded_) {
        resizeOuter(gridPageWindowSize(true, shell_, frameExtra(), pageHeights()));
        gridView_->show();
        gridView_->setFocus();
    } else {
        gridView_->hide();
        resizeOuter(gridPageWindowSize(false, shell_, frameExtra(), pageHeights()));
    }
}

void MainWindow::toggleWindowSize() {
    if (expanded_) {
        speedbuttonChangeWindowSize->setLatched(false);
        speedbuttonChangeWindowSize->setToolTip(QString::fromLatin1(kHintDisplayGrid));
    } else {
        speedbuttonChangeWindowSize->setLatched(true);
        speedbuttonChangeWindowSize->setToolTip(QString::fromLatin1(kHintHideGrid));
    }
    expanded_ = !expanded_;
    speedbuttonChangeWindowSize->setGlyphEnabled(false);
}

void MainWindow::onSizeButtonReleased() {
    speedbuttonChangeWindowSize->setGlyphEnabled(true);
    applyWindowMode();
}

void MainWindow::applyCalculatorSize() {
    resizeOuter(calculatorWindowSize(shell_, frameExtra(), kTabStripHeight));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (initialised_) runResizeRules();
}

void MainWindow::runResizeRules() {
    // The rules' own size changes run them again; a window that refuses a size
    // must not make that endless.
    if (resizeDepth_ > 3) return;
    ++resizeDepth_;
    const FrameExtra frame = frameExtra();
    ResizeInput in;
    in.page = pages_->currentIndex();
    in.expanded = expanded_;
    in.outer = {frameGeometry().width(), frameGeometry().height()};
    in.frame = frame;
    in.decimalButtonRight = btnDecimalFormat->x() + btnDecimalFormat->width();
    in.heights = pageHeights();
    in.calculator = {calculator_->width(), calculator_->height()};
    const ResizeOutcome out = applyResizeRules(in, shell_);
    speedbuttonChangeWindowSize->move(out.sizeButtonLeft, kButtonTop);
    if (out.resizeTo) resizeOuter(*out.resizeTo);
    --resizeDepth_;
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    savedPageIndex_ = pages_->currentIndex();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A version check is waiting further down this very call stack: it is
    // cancelled now and closes the window again once its wait has unwound.
    if (versionCheck_->closeWhenIdle([this] { close(); })) {
        event->ignore();
        return;
    }
    bool saved = false;
    platform::guarded(services_.dialogs, [this, &saved] {
        left_ = x();
        top_ = y();
        services_.settings.save(targets());
        saved = true;
    });
    // A refused write keeps the window open, with the error reported.
    if (saved) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::calculateClipboard() {
    std::optional<platform::BigBuffer<char>> offered;
    if (platform::BigBuffer<char> text; platform::readAnsiText(services_.clipboard, text)) {
        offered = std::move(text);  // its memory becomes the grid's cell storage
    }
    clipcalc::CalculateOutcome outcome;
    try {
        outcome = clipcalc::calculateClipboardText(std::move(offered), calc_, grid_, *this);
    } catch (...) {
        gridView_->gridChanged();  // the grid was filled before the overflow
        throw;
    }
    gridView_->gridChanged();

    if (!outcome.messageText.empty()) services_.dialogs.showMessage(outcome.messageText);
    if (!outcome.calculated) return;
    if (outcome.gridNeeded && !expanded_) toggleWindowSize();
    applyWindowMode();
    speedbuttonChangeWindowSize->setGlyphEnabled(true);
    SizeGlyph glyph = speedbuttonChangeWindowSize->glyph();
    blankDisabledGlyph(glyph);
    speedbuttonChangeWindowSize->setGlyph(glyph);
}

void MainWindow::copyDisplayed() {
    const std::string text = pages_->currentIndex() == kGridPage
                                 ? trimControl(displayCaption_)
                                 : trimControl(calculatorEntry_->entryText());
    platform::writeAnsiText(services_.clipboard, text);
}

void MainWindow::chooseLineAt(int col, int row) {
    if (!chooseLineByClick(calc_, col, row, grid_.colCount(), grid_.rowCount())) return;
    updateDirectionChecks();
    clipcalc::recalculate(calc_, grid_, *this);
    gridView_->viewport()->repaint();
}

void MainWindow::setTabulationStyle(clipcalc::TabulationStyle style) {
    calc_.tabulationStyle = style;
    updateDirectionChecks();
    clipcalc::recalculate(calc_, grid_, *this);
    gridView_->viewport()->update();
}

void MainWindow::updateDirectionChecks() {
    const bool columns = calc_.tabulationStyle == clipcalc::TabulationStyle::UsingColumns;
    mnuByColumns->setChecked(columns);
    mnuByRows->setChecked(!columns);
}

void MainWindow::setMathMode(clipcalc::MathMode mode, const char* caption) {
    btnMathMode->setText(QString::fromLatin1(caption));
    calc_.mathMode = mode;
    clipcalc::recalculate(calc_, grid_, *this);
}

void MainWindow::setDecimals(int n) {
    calc_.setResultDecimals(n);
    clipcalc::showResult(calc_, *this);
}

void MainWindow::openPopupRightOf(QMenu* menu, QWidget* button) {
    menu->exec(button->mapToGlobal(QPoint(button->width(), 0)));
    panelDisplay->setFocus();
}

void MainWindow::showCalculatorPage() {
    pages_->setCurrentIndex(kCalculatorPage);
    menuCalculatorOff->setEnabled(true);
    menuCalculatorOn->setEnabled(false);
    applyCalculatorSize();
    calculator_->setFocus();  // the keys go straight to the calculator
}

void MainWindow::hideCalculatorPage() {
    pages_->setCurrentIndex(kGridPage);
    menuCalculatorOn->setEnabled(true);
    menuCalculatorOff->setEnabled(false);
    applyWindowMode();
}

void MainWindow::onPageChanged(int index) {
    // The direction commands act on the grid page only, shortcut keys included.
    const bool gridPage = index == kGridPage;
    mnuCalculateBy->setEnabled(gridPage);
    mnuByColumns->setEnabled(gridPage);
    mnuByRows->setEnabled(gridPage);
}

void MainWindow::toggleStayOnTop() {
    shell_.stayOnTop = stayOnTopAction->isChecked();
    setStayOnTop(shell_.stayOnTop);
}

void MainWindow::checkForLatestVersion() {
    // Ignored by the check itself while an earlier one still waits.
    versionCheck_->run(shell_.proxy, shell_.proxyPort);
}

void MainWindow::showVersionMessage(const std::string& text) {
    services_.dialogs.showMessage(text);
}

void MainWindow::setStayOnTop(bool on) { platform::setStayOnTop(*this, on); }

void MainWindow::shrinkToTray() {
    savedPageIndex_ = pages_->currentIndex();
    // Without a notification area the window is minimised instead: never out of reach.
    trayIcon_->shrinkToTray();
}

void MainWindow::onRestoredFromTray() {
    restoredFromTray_ = true;
    // A window that was not hidden keeps its page: the remembered one could be
    // another than the calculator menu's state says.
    if (isVisible()) savedPageIndex_ = pages_->currentIndex();
    pages_->setCurrentIndex(savedPageIndex_);
}

void MainWindow::showHelp() {
    shell::showHelp(services_.programFolder, helpFile_, services_.dialogs,
                             services_.help);
}

void MainWindow::showAbout() { showAboutBox(this); }

bool MainWindow::isMenuShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : {menuCopy, menuPaste}) {
        if (action->isEnabled() && action->shortcut() == pressed) return true;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();  // not wanted by the control: the menu's shortcut runs
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace corvalo::shell
