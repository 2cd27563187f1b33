#include "shell/main_window.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <utility>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/command_guard.h"
#include "shell/about_box.h"
#include "shell/calculator_host.h"
#include "shell/grid_options.h"
#include "shell/grid_page.h"
#include "shell/help.h"
#include "shell/main_menu.h"
#include "shell/result_copy.h"
#include "shell/show_options.h"
#include "shell/stay_on_top.h"
#include "shell/tool_panel.h"
#include "shell/tray_and_version_check.h"
#include "shell/window_fonts.h"
#include "shell/window_sizer.h"

namespace corvalo::shell {

MainWindow::MainWindow(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    calc_.mathMode = clipcalc::MathMode::Addition;

    createMenu();
    createPages();
    // The resize rules keep the sizes; a layout minimum would lag a hidden grid by one event.
    setMinimumSize(1, 1);
    sizer_ = std::make_unique<WindowSizer>(*this, *pages_, *gridPage_, *calculator_, shell_,
                                           services_.nativeWayland);
    fonts_ = std::make_unique<WindowFonts>(*this, *gridPage_, *calculator_, *sizer_);
    background_ =
        std::make_unique<TrayAndVersionCheck>(*this, services_, [this] { onRestoredFromTray(); });
    stayOnTop_ = std::make_unique<StayOnTop>(*this, *menu_, shell_, services_.nativeWayland);
    showOptions_ = std::make_unique<ShowOptions>(services_, *menu_, *calculator_, *gridPage_,
                                                 *sizer_, background_->trayIcon(), shell_, calc_);
    gridOptions_ = std::make_unique<GridOptions>(*menu_, *gridPage_, calc_, shell_);
    resultCopy_ = std::make_unique<ResultCopy>(*pages_, *gridPage_, *calculator_, calc_,
                                               services_.clipboard);
}

// The menu's filter sees every event of the program: it goes before the window's parts.
MainWindow::~MainWindow() {
    delete menu_;
}

void MainWindow::createMenu() {
    const auto run = [this](void (MainWindow::*handler)()) {
        return [this, handler] { (this->*handler)(); };
    };
    menu_ = new MainMenu(
        *this, services_.dialogs,
        {.exit = [this] { close(); },
         .copy = [this] { resultCopy_->copy(CopyForm::AsShown); },
         .copyPlain = [this] { resultCopy_->copy(CopyForm::Plain); },
         .paste = run(&MainWindow::calculateClipboard),
         .calculatorOn = run(&MainWindow::showCalculatorPage),
         .calculatorOff = run(&MainWindow::hideCalculatorPage),
         .toggleShowTape = [this] { showOptions_->toggleShowTape(); },
         .copyTape = [this] { showOptions_->copyTape(); },
         .saveTape = [this] { showOptions_->saveTape(); },
         .chooseFont = [this](FontTarget t) { fonts_->choose(t, services_.fonts); },
         .toggleStayOnTop = [this] { stayOnTop_->toggle(); },
         .shrinkToTray = run(&MainWindow::shrinkToTray),
         .setTabulationStyle = [this](clipcalc::TabulationStyle s) { setTabulationStyle(s); },
         .toggleWatchClipboard =
             [this] { showOptions_->toggleWatch(platform::WatchedText::Clipboard); },
         .toggleWatchSelection =
             [this] { showOptions_->toggleWatch(platform::WatchedText::Selection); },
         .toggleStatementSigns = [this] { gridOptions_->toggleStatementSigns(); },
         .toggleStatisticsLine = [this] { gridOptions_->toggleStatisticsLine(); },
         .showHelp = run(&MainWindow::showHelp),
         .checkForLatestVersion = run(&MainWindow::checkForLatestVersion),
         .showAbout = [this] { showAboutBox(this); }});
}

void MainWindow::createPages() {
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    setCentralWidget(pages_);

    gridPage_ = new GridPage(calc_, grid_, services_.dialogs, pages_);
    connect(&gridPage_->tools(), &ToolPanel::calculateClicked, this,
            [this] { platform::guarded(services_.dialogs, [this] { calculateClipboard(); }); });
    connect(&gridPage_->tools(), &ToolPanel::sizeButtonPressed, this, [this] {
        platform::guarded(services_.dialogs, [this] { sizer_->toggleWindowSize(); });
    });
    connect(&gridPage_->tools(), &ToolPanel::sizeButtonReleased, this, [this] {
        platform::guarded(services_.dialogs, [this] { sizer_->releaseSizeButton(); });
    });
    connect(gridPage_, &GridPage::lineChosen, this,
            [this] { menu_->showTabulationStyle(calc_.tabulationStyle); });

    textPage_ = new QPlainTextEdit;
    textPage_->setObjectName(QStringLiteral("textPage"));
    textPage_->setMinimumSize(1, 1);

    calculator_ = new deskcalc::DeskCalculatorWidget(
        calculatorServicesFrom(services_.clipboard, services_.dialogs),
        services_.separators.decimal);
    calculator_->setObjectName(QStringLiteral("calculator"));
    calculator_->setMinimumSize(1, 1);  // the resize rules keep its minimum, not the layout

    pages_->addWidget(gridPage_);
    pages_->addWidget(textPage_);
    pages_->addWidget(calculator_);
    connect(pages_, &QStackedWidget::currentChanged, this,
            [this](int index) { onPageChanged(index); });
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        platform::guarded(services_.dialogs, [this] { initialiseOnFirstShow(); });
    }
}

// Runs once: a later showing (back from the tray) keeps settings, decimals and result.
void MainWindow::initialiseOnFirstShow() {
    if (restoredFromTray_ || initialised_) return;
    calc_.setStartValues();
    shell_.stayOnTop = false;
    gridPage_->tools().setSizeButtonEnabled(false);
    gridPage_->alignDisplayRight();
    calc_.localeDecimalSeparator = services_.separators.decimal;
    calc_.localeThousandSeparator = services_.separators.thousands;
    gridPage_->tools().localiseDecimalMenu();

    services_.settings.load(targets());
    stayOnTop_->apply();
    menu_->showTabulationStyle(calc_.tabulationStyle);
    showOptions_->apply();
    gridOptions_->apply();
    fonts_->applyFonts();

    fonts_->adjustDisplayHeight();
    sizer_->applyWindowMode();
    gridPage_->showResult();
    const bool calculatorFirst = shell_.calculatorDefaultStartup;
    pages_->setCurrentIndex(indexOf(calculatorFirst ? Page::Calculator : Page::Grid));
    menu_->showCalculatorPage(calculatorFirst);
    if (calculatorFirst) {
        sizer_->applyCalculatorSize();
        calculator_->setFocus();
    }
    gridPage_->tools().showDecimalSeparator();
    initialised_ = true;
    savedPageIndex_ = pages_->currentIndex();
    sizer_->runResizeRules();
    sizer_->placeAt(left_, top_);
}

void MainWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    savedPageIndex_ = pages_->currentIndex();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (initialised_) sizer_->checkFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (initialised_) sizer_->runResizeRules();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A version check is waiting further down this very call stack: it is
    // cancelled now and closes the window again once its wait has unwound.
    if (background_->versionCheck().closeWhenIdle([this] { close(); })) {
        event->ignore();
        return;
    }
    // A refused write keeps the window open with the error reported. The next close
    // ends the program even if the write is refused again, without a second message:
    // a window that cannot be closed would trap the user.
    if (std::exchange(saveRefused_, false)) {
        try {
            saveSettings();
        } catch (...) {  // the first refusal has been reported
        }
    } else {
        saveRefused_ = true;
        platform::guarded(services_.dialogs, [this] {
            saveSettings();
            saveRefused_ = false;
        });
    }
    event->setAccepted(!saveRefused_);
}

void MainWindow::saveSettings() {
    sizer_->readPlace(left_, top_);
    services_.settings.save(targets());
}

SettingsTargets MainWindow::targets() {
    return {calc_, shell_, fonts_->mainFont(), fonts_->gridFont(), fonts_->calculatorFont(),
            left_, top_};
}

void MainWindow::calculateClipboard() {
    const clipcalc::CalculateOutcome outcome = gridPage_->calculate(services_.clipboard);
    if (!outcome.messageText.empty()) services_.dialogs.showMessage(outcome.messageText);
    if (outcome.calculated) sizer_->showCalculated(outcome.gridNeeded);
}

void MainWindow::setTabulationStyle(clipcalc::TabulationStyle style) {
    menu_->showTabulationStyle(style);
    gridPage_->setTabulationStyle(style);
}

void MainWindow::showCalculatorPage() {
    pages_->setCurrentIndex(indexOf(Page::Calculator));
    menu_->showCalculatorPage(true);
    sizer_->applyCalculatorSize();
    calculator_->setFocus();  // the keys go straight to the calculator
}

void MainWindow::hideCalculatorPage() {
    pages_->setCurrentIndex(indexOf(Page::Grid));
    menu_->showCalculatorPage(false);
    sizer_->applyWindowMode();
}

// The direction commands act on the grid page only, shortcut keys included.
void MainWindow::onPageChanged(int index) {
    menu_->enableDirectionCommands(pageAt(index) == Page::Grid);
}

void MainWindow::shrinkToTray() {
    savedPageIndex_ = pages_->currentIndex();
    // Without a notification area the window is minimised instead: never out of reach.
    background_->trayIcon().shrinkToTray();
}

void MainWindow::onRestoredFromTray() {
    restoredFromTray_ = true;
    // A window that was not hidden keeps its page: the remembered one could be
    // another than the calculator menu's state says.
    if (isVisible()) savedPageIndex_ = pages_->currentIndex();
    pages_->setCurrentIndex(savedPageIndex_);
}

void MainWindow::checkForLatestVersion() {
    // Ignored by the check itself while an earlier one still waits.
    background_->versionCheck().run(shell_.proxy, shell_.proxyPort);
}

void MainWindow::showHelp() {
    shell::showHelp(services_.programFolder, helpFile_, services_.dialogs, services_.help);
}

bool MainWindow::expanded() const {
    return sizer_->expanded();
}

const std::string& MainWindow::displayCaption() const {
    return gridPage_->displayCaption();
}

FrameExtra MainWindow::frameExtra() const {
    return sizer_->frameExtra();
}

GridPageHeights MainWindow::pageHeights() const {
    return sizer_->pageHeights();
}

platform::FontSpec MainWindow::targetFont(FontTarget target) const {
    return fonts_->targetFont(target);
}

net::VersionCheck& MainWindow::versionChecker() {
    return background_->versionCheck();
}

tray::TrayIcon& MainWindow::trayIcon() {
    return background_->trayIcon();
}

}  // namespace corvalo::shell
