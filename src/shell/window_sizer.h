#pragma once

#include <cstdint>

#include "shell/settings.h"
#include "shell/window_rules.h"

class QMainWindow;
class QStackedWidget;
class QWidget;

namespace corvalo::shell {

class GridPage;

// The main window's size and place. Every size here is an outer size (frame
// and title bar included) and every position the frame's top-left corner, as
// the settings file keeps them; the client area is only derived.
class WindowSizer final {
  public:
    WindowSizer(QMainWindow& window, QStackedWidget& pages, GridPage& gridPage,
                QWidget& calculator, ShellSettings& shell, bool nativeWayland);

    bool expanded() const { return expanded_; }
    // Sizes the window for the grid page as expanded says (only on that page).
    void applyWindowMode();
    // Flips expanded and shows it on the size button, which stays disabled while held.
    void toggleWindowSize();
    // The size button's release: it is usable again and the window takes the mode.
    void releaseSizeButton();
    // After a calculation: a collapsed window expands when the data want the grid,
    // and the size button becomes usable for good.
    void showCalculated(bool gridNeeded);
    void applyCalculatorSize();
    // The rules run on each resize once the window is initialised.
    void runResizeRules();
    // Puts the frame's corner at the stored place (or on a screen, if that is off
    // every one); the last change of the first showing, so nothing undoes it.
    // A native Wayland window is placed by the compositor and stays where it put it.
    void placeAt(std::int32_t left, std::int32_t top);
    // The frame's corner for the settings file, as placeAt takes it back. A native Wayland
    // window cannot read its position: there left and top keep the stored place.
    void readPlace(std::int32_t& left, std::int32_t& top) const;
    // The window manager framed the window or changed its frame: the outer size
    // the settings ask for is given again around the new frame.
    void checkFrame();

    // What the frame and the menu bar add to the client area.
    FrameExtra frameExtra() const;
    GridPageHeights pageHeights() const;

  private:
    void resizeOuter(PixelSize outer);
    PixelSize frameMargins() const;

    QMainWindow& window_;
    QStackedWidget& pages_;
    GridPage& gridPage_;
    QWidget& calculator_;
    ShellSettings& shell_;
    bool nativeWayland_;
    bool expanded_ = false;
    int resizeDepth_ = 0;
    PixelSize margins_;  // the frame's size when the window was last sized
};

}  // namespace corvalo::shell
