#include "tray/qt/qt_notification_area.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QWidget>

#include <exception>

namespace corvalo::tray {

namespace {

constexpr IconHandle kApplicationIconHandle = 1;
constexpr IconHandle kStandardIconHandle = 2;

ShiftState keyboardModifiers() {
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    ShiftState shift;
    if (mods & Qt::ShiftModifier) shift |= ShiftFlag::Shift;
    if (mods & Qt::ControlModifier) shift |= ShiftFlag::Ctrl;
    if (mods & Qt::AltModifier) shift |= ShiftFlag::Alt;
    return shift;
}

}  // namespace

QtNotificationArea::QtNotificationArea(AvailabilityProbe probe, int pollMs, QObject* parent)
    : QObject(parent),
      probe_(probe ? std::move(probe) : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      mapper_(QApplication::doubleClickInterval()) {
    clock_.start();
    lastAvailable_ = probe_();
    connect(&icon_, &QSystemTrayIcon::activated, this, &QtNotificationArea::activated);
    connect(&poll_, &QTimer::timeout, this, &QtNotificationArea::checkAvailability);
    poll_.start(pollMs);
}

QtNotificationArea::~QtNotificationArea() {
    icon_.setContextMenu(nullptr);
    icon_.hide();
}

IconHandle QtNotificationArea::registerIcon(const QIcon& icon) {
    const IconHandle handle = nextHandle_++;
    icons_.emplace(handle, icon);
    return handle;
}

QIcon QtNotificationArea::iconFor(IconHandle handle) const {
    if (handle == kApplicationIconHandle) return QApplication::windowIcon();
    if (handle == kStandardIconHandle) {
        return QIcon::fromTheme(QStringLiteral("application-x-executable"),
                                QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
    }
    const auto it = icons_.find(handle);
    return it != icons_.end() ? it->second : QIcon();
}

bool QtNotificationArea::available() const {
    return probe_();
}

void QtNotificationArea::checkAvailability() {
    const bool now = probe_();
    if (now == lastAvailable_) return;
    lastAvailable_ = now;
    if (listener_) guarded([&] { listener_->trayAvailabilityChanged(now); });
}

void QtNotificationArea::apply(const NotifyIconData& data) {
    if (data.flags.has(NotifyFlag::Icon)) icon_.setIcon(iconFor(data.icon));
    icon_.setToolTip(data.flags.has(NotifyFlag::Tip) ? QString::fromStdString(data.tip)
                                                     : QString());
}

bool QtNotificationArea::add(const NotifyIconData& data) {
    if (!available()) return false;
    apply(data);
    icon_.show();
    watchIconWindow();
    return true;
}

bool QtNotificationArea::modify(const NotifyIconData& data) {
    if (!icon_.isVisible()) return false;
    apply(data);
    return true;
}

bool QtNotificationArea::remove(const NotifyIconData&) {
    icon_.hide();
    return true;
}

void QtNotificationArea::setMenu(const TrayMenu* menu) {
    icon_.setContextMenu(nullptr);
    menu_.reset();
    if (menu == nullptr) return;
    menu_ = std::make_unique<QMenu>();
    for (const TrayMenuItem& item : menu->items) {
        QAction* action = menu_->addAction(QString::fromStdString(item.caption));
        auto onClick = item.onClick;
        connect(action, &QAction::triggered, this, [this, onClick] {
            if (onClick) guarded(onClick);
        });
    }
    icon_.setContextMenu(menu_.get());
}

IconHandle QtNotificationArea::applicationIcon() const {
    return QApplication::windowIcon().isNull() ? kNoIcon : kApplicationIconHandle;
}

IconHandle QtNotificationArea::standardIcon() const {
    return kStandardIconHandle;
}

void QtNotificationArea::activated(QSystemTrayIcon::ActivationReason reason) {
    if (const auto action = mapper_.map(reason, clock_.elapsed())) report(*action);
}

void QtNotificationArea::report(TrayMouseAction action) {
    if (listener_) guarded([&] { listener_->trayMouseAction(action, keyboardModifiers()); });
}

// On an XEmbed tray the icon is a window of our own, whose middle and right
// double-clicks Qt drops; watching it lets them through.
void QtNotificationArea::watchIconWindow() {
    if (watchedIconWindow_ != nullptr) return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") != 0) continue;
        widget->installEventFilter(this);
        watchedIconWindow_ = widget;
        connect(widget, &QObject::destroyed, this, [this] { watchedIconWindow_ = nullptr; });
        return;
    }
}

bool QtNotificationArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedIconWindow_ && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const auto action = mapper_.mapWindowDoubleClick(mouse->button())) report(*action);
    }
    return QObject::eventFilter(watched, event);
}

void QtNotificationArea::guarded(const std::function<void()>& call) const {
    try {
        call();
    } catch (const std::exception& e) {
        if (reporter_) reporter_(e.what());
    }
}

QtTrayTimer::QtTrayTimer(TrayErrorReporter reporter) : reporter_(std::move(reporter)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (!onTick_) return;
        try {
            onTick_();
        } catch (const std::exception& e) {
            timer_.stop();  // one report, not one every step
            if (reporter_) reporter_(e.what());
        }
    });
}

void QtTrayTimer::start(std::int32_t intervalMs, std::function<void()> onTick) {
    onTick_ = std::move(onTick);
    timer_.start(intervalMs);
}

void QtTrayTimer::stop() {
    timer_.stop();
}

void QtTrayTimer::setInterval(std::int32_t intervalMs) {
    timer_.setInterval(intervalMs);
}

bool QtTrayTimer::running() const {
    return timer_.isActive();
}

QtTrayImages::QtTrayImages(QtNotificationArea& area, const std::vector<QIcon>& icons) {
    handles_.reserve(icons.size());
    for (const QIcon& icon : icons) handles_.push_back(area.registerIcon(icon));
}

int QtTrayImages::count() const {
    return static_cast<int>(handles_.size());
}

IconHandle QtTrayImages::icon(int index) const {
    if (index < 0 || index >= count()) return kNoIcon;
    return handles_[static_cast<std::size_t>(index)];
}

}  // namespace corvalo::tray
