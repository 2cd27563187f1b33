#include "shell/grid_page.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "clipcalc/calculate.h"
#include "platform/big_buffer.h"
#include "platform/command_guard.h"
#include "shell/event_timing.h"
#include "shell/grid_view.h"
#include "shell/statistics_strip.h"
#include "shell/tool_panel.h"

namespace corvalo::shell {

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The wait cursor over every window of the program while it lives.
class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

template <class F>
void GridPage::guarded(F handler) {
    platform::guarded(dialogs_, std::move(handler));
}

GridPage::GridPage(clipcalc::CalcState& calc, clipcalc::Grid& grid, platform::Dialogs& dialogs,
                   QWidget* parent)
    : QWidget(parent), calc_(calc), grid_(grid), dialogs_(dialogs) {
    setObjectName(QStringLiteral("gridPage"));
    timing_ = new EventTiming(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    display_ = new QLabel(this);
    display_->setObjectName(QStringLiteral("display"));
    display_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    display_->setLineWidth(2);
    display_->setAutoFillBackground(true);
    QPalette displayPalette = display_->palette();
    displayPalette.setColor(QPalette::Window, displayPalette.color(QPalette::Base));
    display_->setPalette(displayPalette);
    display_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    display_->setFocusPolicy(Qt::ClickFocus);
    display_->setTextFormat(Qt::PlainText);
    layout->addWidget(display_);

    tools_ = new ToolPanel(calc_, grid_, *this, dialogs_, this);
    connect(tools_, &ToolPanel::popupClosed, display_, [this] { display_->setFocus(); });
    layout->addWidget(tools_);

    gridView_ = new GridView(grid_, calc_, this);
    gridView_->setObjectName(QStringLiteral("grid"));
    gridView_->hide();
    connect(gridView_, &GridView::cellClicked, this,
            [this](int col, int row) { guarded([this, col, row] { chooseLineAt(col, row); }); });
    layout->addWidget(gridView_, 1);
    // Takes its height from the grid, never from the window.
    statistics_ = new StatisticsStrip(calc_, grid_, this);
    statistics_->setObjectName(QStringLiteral("statistics"));
    statistics_->hide();
    layout->addWidget(statistics_);
    layout->addStretch(0);

    gridFontProbe_ = new QLineEdit(this);
    gridFontProbe_->setObjectName(QStringLiteral("gridFontProbe"));
    gridFontProbe_->setReadOnly(true);
    gridFontProbe_->hide();
}

clipcalc::CalculateOutcome GridPage::calculate(platform::Clipboard& clipboard) {
    // Shown from the moment a large text has arrived in part until its result is shown.
    std::optional<BusyCursor> busy;
    const auto showBusyWhenLarge = [&busy](std::size_t received) {
        if (received > kBusyCursorBytes && !busy) busy.emplace();
    };
    std::optional<platform::BigBuffer<char>> offered;
    if (platform::BigBuffer<char> text; platform::readAnsiText(
            clipboard, text, showBusyWhenLarge,
            calc_.statementSigns ? platform::Dashes::AsMinus : platform::Dashes::Unmapped)) {
        offered = std::move(text);  // its memory becomes the grid's cell storage
    }
    timing_->report("clipboard-ms");
    clipcalc::CalculateOutcome outcome;
    try {
        outcome = clipcalc::calculateClipboardText(std::move(offered), calc_, grid_, *this);
    } catch (...) {
        // The grid changed before the overflow (or a failed read): no result followed.
        gridView_->gridChanged();
        refreshStatistics();
        throw;
    }
    // Every road that changed the grid ended in a new result, which the statistics followed.
    gridView_->gridChanged();
    timing_->report("paste-ms");
    return outcome;
}

void GridPage::refreshStatistics() {
    if (statisticsOn_) statistics_->refresh();
}

void GridPage::setTabulationStyle(clipcalc::TabulationStyle style) {
    calc_.tabulationStyle = style;
    recalculateWithFigures();
    gridView_->viewport()->update();
}

void GridPage::chooseLineAt(int col, int row) {
    if (!chooseLineByClick(calc_, col, row, grid_.colCount(), grid_.rowCount())) return;
    emit lineChosen();
    recalculateWithFigures();
    gridView_->viewport()->repaint();
    timing_->report("click-ms");
}

void GridPage::recalculateWithFigures() {
    if (!statisticsOn_) {
        clipcalc::recalculate(calc_, grid_, *this);
        return;
    }
    clipcalc::LineStatistics figures;
    clipcalc::calculateLine(calc_, grid_, figures);  // an overflow leaves both as they were
    resultFigures_ = figures;
    const auto forget = qScopeGuard([this] { resultFigures_.reset(); });
    clipcalc::showResult(calc_, *this);
}

void GridPage::showResult() {
    clipcalc::showResult(calc_, *this);
}

void GridPage::setDisplayCaption(const std::string& caption) {
    displayCaption_ = caption;
    display_->setText(latin1(caption));
    // Every new result, of a paste, a click, a direction, a mode or the decimals; a click
    // and a direction bring the figures of their own walk.
    if (resultFigures_) {
        statistics_->showFigures(*resultFigures_);
    } else {
        refreshStatistics();
    }
}

void GridPage::setDisplayFont(const QFont& font, const QColor& colour) {
    display_->setFont(font);
    QPalette displayPalette = display_->palette();
    displayPalette.setColor(QPalette::WindowText, colour);
    display_->setPalette(displayPalette);
    display_->repaint();
}

void GridPage::setDisplayHeight(int height) {
    display_->setFixedHeight(height);
}

void GridPage::alignDisplayRight() {
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void GridPage::setGridFont(const QFont& font, const QColor& colour) {
    gridView_->setGridFont(font, colour);
}

void GridPage::setGridFontProbe(const QFont& font) {
    gridFontProbe_->setFont(font);
}

GridGeometry& GridPage::gridGeometry() {
    return gridView_->gridGeometry();
}

void GridPage::gridGeometryChanged() {
    gridView_->geometryChanged();
}

GridPageHeights GridPage::heights() const {
    return {kTabStripHeight, display_->maximumHeight(), ToolPanel::kHeight};
}

void GridPage::showGrid(bool shown) {
    gridShown_ = shown;
    gridView_->setVisible(shown);
    statistics_->setVisible(shown && statisticsOn_);
    if (shown) gridView_->setFocus();
}

void GridPage::showStatistics(bool on) {
    statisticsOn_ = on;
    gridView_->setMarkTextCells(on);
    refreshStatistics();
    statistics_->setVisible(gridShown_ && on);
}

}  // namespace corvalo::shell
