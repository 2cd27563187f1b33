#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The seams of the tray icon: the desktop's notification area, the animation timer,
// the image list and the window that owns the icon. Header-only and free of any
// toolkit: the Qt side implements them, the tray icon in net works through them.
namespace corvalo::tray {

// An icon as the notification area knows it; the platform resolves the number.
using IconHandle = std::uint64_t;
inline constexpr IconHandle kNoIcon = 0;

// What each add, modify and delete carries.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kTrayIconId = 2;
inline constexpr std::uint32_t kTrayCallbackMessage = 1791;
inline constexpr std::size_t kMaxTipChars = 63;

struct NotifyIconData {
    std::uint32_t iconId = kTrayIconId;
    std::uint32_t flags = kNifMessage | kNifIcon | kNifTip;  // 3 without the tooltip
    std::uint32_t callbackMessage = kTrayCallbackMessage;
    IconHandle icon = kNoIcon;
    std::string tip;  // UTF-8, at most kMaxTipChars characters

    bool operator==(const NotifyIconData&) const = default;
};

// Mouse actions on the icon, numbered as the notification callback numbers them.
enum class TrayMouseAction : int {
    LeftDown = 513,
    LeftUp = 514,
    LeftDoubleClick = 515,
    RightDown = 516,
    RightUp = 517,
    RightDoubleClick = 518,
    MiddleDown = 519,
    MiddleUp = 520,
    MiddleDoubleClick = 521,
};

enum class MouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held, as a set of flags.
using ShiftState = unsigned;
inline constexpr ShiftState ssShift = 1;
inline constexpr ShiftState ssAlt = 2;
inline constexpr ShiftState ssCtrl = 4;
inline constexpr ShiftState ssLeft = 8;
inline constexpr ShiftState ssRight = 16;
inline constexpr ShiftState ssMiddle = 32;

// A popup menu: captions with their "&" mnemonics and what each item does.
struct TrayMenuItem {
    std::string caption;
    std::function<void()> onClick;
};
struct TrayMenu {
    std::vector<TrayMenuItem> items;
};

// Told by the notification area what happens to the icon and to the area itself.
class NotificationListener {
  public:
    virtual ~NotificationListener() = default;
    // A mouse action on the icon with the modifier keys held at that moment.
    virtual void trayMouseAction(TrayMouseAction action, ShiftState modifiers) = 0;
    // The desktop gained or lost its notification area (a tray host started or quit).
    virtual void trayAvailabilityChanged(bool available) = 0;
};

// The desktop's notification area, holding at most one icon of this program.
class NotificationArea {
  public:
    virtual ~NotificationArea() = default;
    // Whether the desktop has a notification area at all right now.
    virtual bool available() const = 0;
    // Each returns false when the area refused the call.
    virtual bool add(const NotifyIconData& data) = 0;
    virtual bool modify(const NotifyIconData& data) = 0;
    virtual bool remove(const NotifyIconData& data) = 0;
    // The menu the platform opens on the icon's context click; nullptr for none.
    // The menu must live until it is replaced or cleared.
    virtual void setMenu(const TrayMenu* menu) = 0;
    // The application's icon, or kNoIcon when it has none.
    virtual IconHandle applicationIcon() const = 0;
    // The desktop's standard application icon; never kNoIcon.
    virtual IconHandle standardIcon() const = 0;
    // Where mouse actions and availability changes go; nullptr to stop them.
    virtual void setListener(NotificationListener* listener) = 0;
};

// A list of icons: the frames of the animation, or where the icon is taken from.
class TrayImageList {
  public:
    virtual ~TrayImageList() = default;
    virtual int count() const = 0;
    // kNoIcon for an index outside 0 .. count() - 1.
    virtual IconHandle icon(int index) const = 0;
};

// A repeating timer that ticks from the program's event loop.
class TrayTimer {
  public:
    virtual ~TrayTimer() = default;
    virtual void start(std::int32_t intervalMs, std::function<void()> onTick) = 0;
    virtual void stop() = 0;
    // Takes effect at once when running, else at the next start.
    virtual void setInterval(std::int32_t intervalMs) = 0;
    virtual bool running() const = 0;
};

// The window that owns the icon, and the event loop it runs in.
class TrayOwner {
  public:
    virtual ~TrayOwner() = default;
    virtual bool isMinimized() const = 0;
    virtual bool isVisible() const = 0;
    // Leaves the minimized state without showing the window.
    virtual void setNormalState() = 0;
    virtual void hide() = 0;
    // Shows the window and brings it to the foreground.
    virtual void showAndActivate() = 0;
    virtual void minimize() = 0;
    // Ends the event loop at once without closing the window, so nothing that
    // closing does (such as writing the settings) runs.
    virtual void endMessageLoop() = 0;
};

// The owner's system commands, numbered as the system menu numbers them.
enum class SysCommand : int { Minimize = 61472, Close = 61536 };

// What the owner window reports to the icon (an event filter on it calls these).
class OwnerMessages {
  public:
    virtual ~OwnerMessages() = default;
    // True when the icon took the command over and it must not go on.
    virtual bool ownerSysCommand(SysCommand command) = 0;
    // The window was shown, moved, resized or changed its state.
    virtual void ownerPositionChanged() = 0;
};

}  // namespace corvalo::tray
