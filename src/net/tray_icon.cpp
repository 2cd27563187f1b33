#include "net/tray_icon.h"

#include <utility>

namespace corvalo::net {

namespace {

// Icons alive in this program; a second one would fight over the same shell slot.
int liveTrayIcons = 0;

constexpr std::int32_t kDefaultStepMs = 200;  // an Interval of 0 animates at this pace

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

}  // namespace

std::string TrayIconErrorText(int number) {
    switch (number) {
        case kTrayAddError:
            return "Error adding tray icon";
        case kTrayOnlyOneError:
            return "Cannot have more than one StTrayIcon per application";
        case kTrayNoImagesError:
            return "ImageList is not assigned";
        default:
            return "Tray icon error";
    }
}

EStTrayIconError::EStTrayIconError(int number)
    : corvalo::Error(TrayIconErrorText(number)), number_(number) {}

std::string TrayTipText(const std::string& hint) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < hint.size(); ++i) {
        if (isContinuationByte(hint[i])) continue;
        if (chars == kMaxTipChars) return hint.substr(0, i);
        ++chars;
    }
    return hint;
}

TStCustomTrayIcon::TStCustomTrayIcon(const TrayIconServices& services)
    : TStShellComponent(services.owner), area_(services.area), timer_(services.timer) {
    if (liveTrayIcons > 0) throw EStTrayIconError(kTrayOnlyOneError);
    ownMenu_.items.push_back({"&Close", [this] { owner().endMessageLoop(); }});
    ownMenu_.items.push_back({"&Restore", [this] { restore(); }});
    popupMenu_ = &ownMenu_;
    area_.setListener(this);
    area_.setMenu(popupMenu_);
    ++liveTrayIcons;
}

TStCustomTrayIcon::~TStCustomTrayIcon() {
    removeIcon();
    timer_.stop();
    area_.setMenu(nullptr);
    area_.setListener(nullptr);
    --liveTrayIcons;
}

void TStCustomTrayIcon::loaded() {
    loaded_ = true;
    // The icon is chosen before the add, so the first icon shown is already the right one.
    currentIcon_ = stillIcon();
    if (active_) addIcon();
    updateTimer();
}

NotifyIconData TStCustomTrayIcon::iconData() const {
    NotifyIconData data;
    data.flags = showHint_ ? kNifMessage | kNifIcon | kNifTip : kNifMessage | kNifIcon;
    data.icon = currentIcon_;
    if (data.icon == kNoIcon) data.icon = area_.applicationIcon();
    if (data.icon == kNoIcon) data.icon = area_.standardIcon();
    data.tip = TrayTipText(hint_);
    return data;
}

void TStCustomTrayIcon::addIcon() {
    if (iconAdded_) return;
    ownerHooked_ = true;
    // No notification area yet: trayAvailabilityChanged() adds it when one appears.
    if (!area_.available()) return;
    if (!area_.add(iconData())) {
        iconAdded_ = false;
        throw EStTrayIconError(kTrayAddError);
    }
    iconAdded_ = true;
}

void TStCustomTrayIcon::removeIcon() {
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
}

void TStCustomTrayIcon::modifyIcon() {
    if (!iconAdded_) return;
    if (!area_.modify(iconData())) throw EStTrayIconError(kTrayGeneralError);
}

IconHandle TStCustomTrayIcon::stillIcon() const {
    if (icon_ != kNoIcon) return icon_;
    return images_ != nullptr ? images_->icon(imageIndex_) : kNoIcon;
}

void TStCustomTrayIcon::showStill() {
    currentIcon_ = stillIcon();
    modifyIcon();
}

void TStCustomTrayIcon::SetActive(bool value) {
    if (!loaded_) {
        active_ = value;
        return;
    }
    if (!value) {
        if (animate_) {
            SetAnimate(false);
            resumeAnimation_ = true;
        }
        removeIcon();
        active_ = false;
        return;
    }
    active_ = true;
    addIcon();
    if (resumeAnimation_) SetAnimate(true);
}

void TStCustomTrayIcon::SetAnimate(bool value) {
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

// The timer runs only while there are frames to show: no idle wake-ups without Images.
void TStCustomTrayIcon::updateTimer() {
    if (!loaded_ || !animate_ || images_ == nullptr) {
        timer_.stop();
        return;
    }
    if (timer_.running()) return;
    timer_.start(interval_ > 0 ? interval_ : kDefaultStepMs, [this] { animationTick(); });
}

void TStCustomTrayIcon::animationTick() {
    if (images_ == nullptr || !iconAdded_) return;
    const int frames = images_->count();
    if (frames <= 0) return;
    if (frameIndex_ >= frames || frameIndex_ < 0) frameIndex_ = 0;
    currentIcon_ = images_->icon(frameIndex_);
    modifyIcon();
    frameIndex_ = (frameIndex_ + 1) % frames;
}

void TStCustomTrayIcon::SetInterval(std::int32_t value) {
    interval_ = value;
    timer_.setInterval(value > 0 ? value : kDefaultStepMs);
}

void TStCustomTrayIcon::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    if (showHint_) modifyIcon();
}

void TStCustomTrayIcon::SetShowHint(bool value) {
    if (value == showHint_) return;
    showHint_ = value;
    modifyIcon();
}

void TStCustomTrayIcon::SetIcon(IconHandle value) {
    icon_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TStCustomTrayIcon::SetImages(TrayImageList* value) {
    images_ = value;
    if (!loaded_) return;
    updateTimer();
    if (!timer_.running()) showStill();
}

void TStCustomTrayIcon::SetImageIndex(std::int32_t value) {
    if (iconAdded_ && images_ == nullptr) throw EStTrayIconError(kTrayNoImagesError);
    imageIndex_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TStCustomTrayIcon::SetPopupMenu(const TrayMenu* value) {
    popupMenu_ = value;
    area_.setMenu(value);
}

void TStCustomTrayIcon::notification(const void* removed) {
    if (removed == nullptr) return;
    if (removed == popupMenu_) SetPopupMenu(nullptr);
    if (removed == images_) {
        images_ = nullptr;
        updateTimer();
    }
}

// The button of the action counts as held, beside the modifier keys of that moment.
void TStCustomTrayIcon::trayMouseAction(TrayMouseAction action, TShiftState modifiers) {
    switch (action) {
        case TrayMouseAction::LeftDown:
            if (onClick_) onClick_(*this, TMouseButton::mbLeft, modifiers | ssLeft);
            break;
        case TrayMouseAction::MiddleDown:
            if (onClick_) onClick_(*this, TMouseButton::mbMiddle, modifiers | ssMiddle);
            break;
        case TrayMouseAction::LeftDoubleClick:
            dblClick(TMouseButton::mbLeft, modifiers | ssLeft);
            break;
        case TrayMouseAction::RightDoubleClick:
            dblClick(TMouseButton::mbRight, modifiers | ssRight);
            break;
        case TrayMouseAction::MiddleDoubleClick:
            dblClick(TMouseButton::mbMiddle, modifiers | ssMiddle);
            break;
        // The platform opens PopupMenu itself on its context click (see setMenu).
        case TrayMouseAction::RightDown:
        case TrayMouseAction::LeftUp:
        case TrayMouseAction::RightUp:
        case TrayMouseAction::MiddleUp:
            break;
    }
}

void TStCustomTrayIcon::dblClick(TMouseButton button, TShiftState shift) {
    bool restoreApp = true;
    if (onDblClick_) onDblClick_(*this, button, shift, restoreApp);
    if (restoreApp) restore();
}

void TStCustomTrayIcon::trayAvailabilityChanged(bool available) {
    if (available) {
        if (!loaded_ || !active_ || iconAdded_) return;
        try {
            addIcon();
        } catch (const EStTrayIconError&) {
            // Still not added: the next change or the next Active := True tries again.
        }
        return;
    }
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
    // The tray took the way back with it: bring the window back before it is lost.
    if (hiddenInTray_) restore();
}

void TStCustomTrayIcon::hideOwnerInTray() {
    owner().hide();
    hiddenInTray_ = true;
}

bool TStCustomTrayIcon::ownerSysCommand(SysCommand command) {
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

void TStCustomTrayIcon::ownerPositionChanged() {
    if (!ownerHooked_ || startHidden_ >= 2) return;
    if (owner().isMinimized() && iconAdded_) {
        hideOwnerInTray();
        ++startHidden_;
    } else {
        startHidden_ = 2;
    }
}

void TStCustomTrayIcon::restore() {
    if (onRestore_) onRestore_(*this);
    // Once the user brings the window back, its start is over: a window that began
    // minimised would otherwise show minimised and be hidden again at once.
    startHidden_ = 2;
    if (owner().isMinimized()) owner().setNormalState();
    owner().showAndActivate();
    hiddenInTray_ = false;
    if (hideOnRestore_) removeIcon();
}

bool TStCustomTrayIcon::shrinkToTray() {
    SetActive(true);
    if (iconAdded_) {
        hideOwnerInTray();
        return true;
    }
    owner().minimize();
    return false;
}

}  // namespace corvalo::net
