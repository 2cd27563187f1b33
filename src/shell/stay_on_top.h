#pragma once

class QMainWindow;

namespace corvalo::shell {

class MainMenu;
struct ShellSettings;

// Options > Stay on top always: its check mark, the setting it keeps and the window's band.
// Wayland offers an ordinary window no band: there the item is greyed and the stored
// setting is kept for the next run on another desktop, but not applied.
class StayOnTop final {
  public:
    StayOnTop(QMainWindow& window, MainMenu& menu, ShellSettings& shell, bool nativeWayland);

    // The setting as the settings file left it.
    void apply();
    void toggle();

  private:
    QMainWindow& window_;
    MainMenu& menu_;
    ShellSettings& shell_;
    bool nativeWayland_;
};

}  // namespace corvalo::shell
