#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tray/flag_set.h"

// The seams of the tray icon: the desktop's notification area, the animation timer,
// the image list and the window that owns the icon. Header-only and free of any
// toolkit: the Qt side implements them, the tray icon works through them.
namespace corvalo::tray {

// An icon as the notification area knows it; the platform resolves the number.
using IconHandle = std::uint64_t;
inline constexpr IconHandle kNoIcon = 0;

// Which parts of NotifyIconData an add or modify sets.
enum class NotifyFlag : std::uint32_t { Message = 1, Icon = 2, Tip = 4 };
using NotifyFlags = FlagSet<NotifyFlag>;
constexpr NotifyFlags operator|(NotifyFlag a, NotifyFlag b) {
    return NotifyFlags(a) | b;
}

inline constexpr std::uint32_t kTrayIconId = 2;
inline constexpr std::uint32_t kTrayCallbackMessage = 1791;
inline constexpr std::size_t kMaxTipChars = 63;

struct NotifyIconData {
    std::uint32_t iconId = kTrayIconId;
    NotifyFlags flags = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
    std::uint32_t callbackMessage = kTrayCallbackMessage;
    IconHandle icon = kNoIcon;
    std::string tip;  // UTF-8, at most kMaxTipChars characters

    bool operator==(const NotifyIconData&) const = default;
};

// Mouse actions on the icon.
enum class TrayMouseAction {
    LeftDown,
    LeftUp,
    LeftDoubleClick,
    RightDown,
    RightUp,
    RightDoubleClick,
    MiddleDown,
    MiddleUp,
    MiddleDoubleClick,
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held during a mouse action.
enum class ShiftFlag : std::uint8_t {
    Shift = 1,
    Alt = 2,
    Ctrl = 4,
    Left = 8,
    Right = 16,
    Middle = 32,
};
using ShiftState = FlagSet<ShiftFlag>;
constexpr ShiftState operator|(ShiftFlag a, ShiftFlag b) {
    return ShiftState(a) | b;
}

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

// The commands of the owner window's frame that the icon may take over.
enum class SysCommand { Minimize, Close };

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
