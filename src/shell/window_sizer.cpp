#include "shell/window_sizer.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QWindow>
#include <vector>

#include "shell/grid_page.h"
#include "shell/tool_panel.h"

namespace corvalo::shell {

WindowSizer::WindowSizer(QMainWindow& window, QStackedWidget& pages, GridPage& gridPage,
                         QWidget& calculator, ShellSettings& shell, bool nativeWayland)
    : window_(window),
      pages_(pages),
      gridPage_(gridPage),
      calculator_(calculator),
      shell_(shell),
      nativeWayland_(nativeWayland) {}

PixelSize WindowSizer::frameMargins() const {
    const QRect outer = window_.frameGeometry();
    const QRect inner = window_.geometry();
    return {outer.width() - inner.width(), outer.height() - inner.height()};
}

FrameExtra WindowSizer::frameExtra() const {
    const PixelSize frame = frameMargins();
    int menu = window_.menuBar()->heightForWidth(window_.width());
    if (menu < 0) menu = window_.menuBar()->sizeHint().height();
    return {frame.width, frame.height + menu};
}

GridPageHeights WindowSizer::pageHeights() const {
    return gridPage_.heights();
}

void WindowSizer::resizeOuter(PixelSize outer) {
    margins_ = frameMargins();
    window_.resize(outer.width - margins_.width, outer.height - margins_.height);
}

void WindowSizer::applyWindowMode() {
    if (pageAt(pages_.currentIndex()) != Page::Grid) return;
    if (expanded_) {
        resizeOuter(gridPageWindowSize(true, shell_, frameExtra(), pageHeights()));
        gridPage_.showGrid(true);
    } else {
        gridPage_.showGrid(false);
        resizeOuter(gridPageWindowSize(false, shell_, frameExtra(), pageHeights()));
    }
}

void WindowSizer::toggleWindowSize() {
    expanded_ = !expanded_;
    gridPage_.tools().showSizeMode(expanded_);
    gridPage_.tools().setSizeButtonEnabled(false);
}

void WindowSizer::releaseSizeButton() {
    gridPage_.tools().setSizeButtonEnabled(true);
    applyWindowMode();
}

void WindowSizer::showCalculated(bool gridNeeded) {
    if (gridNeeded && !expanded_) toggleWindowSize();
    applyWindowMode();
    gridPage_.tools().setSizeButtonEnabled(true);
    gridPage_.tools().blankSizeButtonDisabledImage();
}

void WindowSizer::applyCalculatorSize() {
    resizeOuter(calculatorWindowSize(shell_, frameExtra(), kTabStripHeight));
}

void WindowSizer::runResizeRules() {
    // The rules' own size changes run them again; a window that refuses a size
    // must not make that endless.
    if (resizeDepth_ > 3) return;
    ++resizeDepth_;
    ResizeInput in;
    in.page = pageAt(pages_.currentIndex());
    in.expanded = expanded_;
    in.outer = {window_.frameGeometry().width(), window_.frameGeometry().height()};
    in.frame = frameExtra();
    in.decimalButtonRight = gridPage_.tools().decimalButtonRight();
    in.heights = pageHeights();
    in.calculator = {calculator_.width(), calculator_.height()};
    const ResizeOutcome out = applyResizeRules(in, shell_);
    gridPage_.tools().placeSizeButton(out.sizeButtonLeft);
    if (out.resizeTo) resizeOuter(*out.resizeTo);
    --resizeDepth_;
}

void WindowSizer::placeAt(std::int32_t left, std::int32_t top) {
    if (nativeWayland_) return;
    std::vector<PixelRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr) {
        const QRect g = primary->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const QRect outer = window_.frameGeometry();
    const PixelRect placed = placeOnScreens({left, top, outer.width(), outer.height()}, screens);
    const QPoint corner(placed.left, placed.top);
    window_.move(corner);
    // Before the window manager has framed the window Qt takes move() as the client
    // area's corner; the frame's own position asks it to put the frame there.
    if (QWindow* handle = window_.windowHandle(); handle != nullptr) {
        handle->setFramePosition(corner);
    }
}

void WindowSizer::readPlace(std::int32_t& left, std::int32_t& top) const {
    if (nativeWayland_) return;
    left = window_.x();
    top = window_.y();
}

void WindowSizer::checkFrame() {
    if (frameMargins() == margins_) return;
    switch (pageAt(pages_.currentIndex())) {
        case Page::Grid:
            resizeOuter(gridPageWindowSize(expanded_, shell_, frameExtra(), pageHeights()));
            break;
        case Page::Calculator:
            applyCalculatorSize();
            break;
        default:  // the text page has no size of its own
            margins_ = frameMargins();
            break;
    }
}

}  // namespace corvalo::shell
