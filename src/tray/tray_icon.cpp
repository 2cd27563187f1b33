#include "tray/tray_icon.h"

#include <utility>

namespace corvalo::tray {

namespace {

// Icons alive in this program; a second one would fight over the same shell slot.
int liveTrayIcons = 0;

constexpr std::int32_t kDefaultStepMs = 200;  // an interval of 0 animates at this pace

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

}  // namespace

std::string trayTipText(const std::string& hint) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < hint.size(); ++i) {
        if (isContinuationByte(hint[i])) continue;
        if (chars == kMaxTipChars) return hint.substr(0, i);
        ++chars;
    }
    return hint;
}

TrayIcon::TrayIcon(const TrayIconServices& services)
    : area_(services.area), timer_(services.timer), owner_(services.owner) {
    if (liveTrayIcons > 0) throw TrayIconError(TrayIconFault::SecondIcon);
    ownMenu_.items.push_back({"&Close", [this] { owner_.endMessageLoop(); }});
    ownMenu_.items.push_back({"&Restore", [this] { restore(); }});
    popupMenu_ = &ownMenu_;
    area_.setListener(this);
    area_.setMenu(popupMenu_);
    ++liveTrayIcons;
}

TrayIcon::~TrayIcon() {
    removeIcon();
    timer_.stop();
    area_.setMenu(nullptr);
    area_.setListener(nullptr);
    --liveTrayIcons;
}

void TrayIcon::loaded() {
    loaded_ = true;
    // The icon is chosen before the add, so the first icon shown is already the right one.
    currentIcon_ = stillIcon();
    if (active_) addIcon();
    updateTimer();
}

NotifyIconData TrayIcon::iconData() const {
    NotifyIconData data;
    data.flags = NotifyFlag::Message | NotifyFlag::Icon;
    if (showHint_) data.flags |= NotifyFlag::Tip;
    data.icon = currentIcon_;
    if (data.icon == kNoIcon) data.icon = area_.applicationIcon();
    if (data.icon == kNoIcon) data.icon = area_.standardIcon();
    data.tip = trayTipText(hint_);
    return data;
}

void TrayIcon::addIcon() {
    if (iconAdded_) return;
    ownerHooked_ = true;
    // No notification area yet: trayAvailabilityChanged() adds it when one appears.
    if (!area_.available()) return;
    if (!area_.add(iconData())) {
        iconAdded_ = false;
        throw TrayIconError(TrayIconFault::AddRefused);
    }
    iconAdded_ = true;
}

void TrayIcon::removeIcon() {
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
}

void TrayIcon::modifyIcon() {
    if (!iconAdded_) return;
    if (!area_.modify(iconData())) throw TrayIconError(TrayIconFault::General);
}

IconHandle TrayIcon::stillIcon() const {
    if (icon_ != kNoIcon) return icon_;
    return images_ != nullptr ? images_->icon(imageIndex_) : kNoIcon;
}

void TrayIcon::showStill() {
    currentIcon_ = stillIcon();
    modifyIcon();
}

void TrayIcon::setActive(bool value) {
    if (!loaded_) {
        active_ = value;
        return;
    }
    if (!value) {
        if (animate_) {
            setAnimate(false);
            resumeAnimation_ = true;
        }
        removeIcon();
        active_ = false;
        return;
    }
    active_ = true;
    addIcon();
    if (resumeAnimation_) setAnimate(true);
}

void TrayIcon::setAnimate(bool value) {
    if (value == animate_) return;
    if (loaded_ && active_) resumeAnimation_ = value;
    animate_ = value;
    if (value) {
        updateTimer();
        return;
    }
    timer_.stop();
    if (loaded_) showStill();
}

// The timer runs only while there are frames to show: no idle wake-ups without images.
void TrayIcon::updateTimer() {
    if (!loaded_ || !animate_ || images_ == nullptr) {
        timer_.stop();
        return;
    }
    if (timer_.running()) return;
    timer_.start(interval_ > 0 ? interval_ : kDefaultStepMs, [this] { animationTick(); });
}

void TrayIcon::animationTick() {
    if (images_ == nullptr || !iconAdded_) return;
    const int frames = images_->count();
    if (frames <= 0) return;
    if (frameIndex_ >= frames || frameIndex_ < 0) frameIndex_ = 0;
    currentIcon_ = images_->icon(frameIndex_);
    modifyIcon();
    frameIndex_ = (frameIndex_ + 1) % frames;
}

void TrayIcon::setInterval(std::int32_t value) {
    interval_ = value;
    timer_.setInterval(value > 0 ? value : kDefaultStepMs);
}

void TrayIcon::setHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    if (showHint_) modifyIcon();
}

void TrayIcon::setShowHint(bool value) {
    if (value == showHint_) return;
    showHint_ = value;
    modifyIcon();
}

void TrayIcon::setIcon(IconHandle value) {
    icon_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TrayIcon::setImages(TrayImageList* value) {
    images_ = value;
    if (!loaded_) return;
    updateTimer();
    if (!timer_.running()) showStill();
}

void TrayIcon::setImageIndex(std::int32_t value) {
    if (iconAdded_ && images_ == nullptr) throw TrayIconError(TrayIconFault::NoImageList);
    imageIndex_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TrayIcon::setPopupMenu(const TrayMenu* value) {
    popupMenu_ = value;
    area_.setMenu(value);
}

void TrayIcon::forget(const void* gone) {
    if (gone == nullptr) return;
    if (gone == popupMenu_) setPopupMenu(nullptr);
    if (gone == images_) {
        images_ = nullptr;
        updateTimer();
    }
}

// The button of the action counts as held, beside the modifier keys of that moment.
void TrayIcon::trayMouseAction(TrayMouseAction action, ShiftState modifiers) {
    switch (action) {
        case TrayMouseAction::LeftDown:
            if (onClick_) onClick_(*this, MouseButton::Left, modifiers | ShiftFlag::Left);
            break;
        case TrayMouseAction::MiddleDown:
            if (onClick_) onClick_(*this, MouseButton::Middle, modifiers | ShiftFlag::Middle);
            break;
        case TrayMouseAction::LeftDoubleClick:
            doubleClick(MouseButton::Left, modifiers | ShiftFlag::Left);
            break;
        case TrayMouseAction::RightDoubleClick:
            doubleClick(MouseButton::Right, modifiers | ShiftFlag::Right);
            break;
        case TrayMouseAction::MiddleDoubleClick:
            doubleClick(MouseButton::Middle, modifiers | ShiftFlag::Middle);
            break;
        // The platform opens the popup menu itself on its context click (see setMenu).
        case TrayMouseAction::RightDown:
        case TrayMouseAction::LeftUp:
        case TrayMouseAction::RightUp:
        case TrayMouseAction::MiddleUp:
            break;
    }
}

void TrayIcon::doubleClick(MouseButton button, ShiftState shift) {
    bool restoreApp = true;
    if (onDoubleClick_) onDoubleClick_(*this, button, shift, restoreApp);
    if (restoreApp) restore();
}

void TrayIcon::trayAvailabilityChanged(bool available) {
    if (available) {
        if (!loaded_ || !active_ || iconAdded_) return;
        try {
            addIcon();
        } catch (const TrayIconError&) {
            // Still not added: the next change or the next setActive(true) tries again.
        }
        return;
    }
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
    // The tray took the way back with it: bring the window back before it is lost.
    if (hiddenInTray_) restore();
}

void TrayIcon::hideOwnerInTray() {
    owner_.hide();
    hiddenInTray_ = true;
}

bool TrayIcon::ownerSysCommand(SysCommand command) {
    if (!ownerHooked_) return false;
    if (command == SysCommand::Minimize && onMinimize_) onMinimize_(*this);
    const bool toTray = (command == SysCommand::Minimize && minimizeToTray_) ||
                        (command == SysCommand::Close && closeToTray_);
    if (!toTray || !active_) return false;
    addIcon();
    // Without a notification area the command goes on: hiding would lose the window.
    if (!iconAdded_) return false;
    hideOwnerInTray();
    return true;
}

void TrayIcon::ownerPositionChanged() {
    if (!ownerHooked_ || startHidden_ >= 2) return;
    if (owner_.isMinimized() && iconAdded_) {
        hideOwnerInTray();
        ++startHidden_;
    } else {
        startHidden_ = 2;
    }
}

void TrayIcon::restore() {
    if (onRestore_) onRestore_(*this);
    // Once the user brings the window back, its start is over: a window that began
    // minimised would otherwise show minimised and be hidden again at once.
    startHidden_ = 2;
    if (owner_.isMinimized()) owner_.setNormalState();
    owner_.showAndActivate();
    hiddenInTray_ = false;
    if (hideOnRestore_) removeIcon();
}

bool TrayIcon::shrinkToTray() {
    setActive(true);
    if (iconAdded_) {
        hideOwnerInTray();
        return true;
    }
    owner_.minimize();
    return false;
}

}  // namespace corvalo::tray
