#include "platform/qt/QtNotifyIcon.h"

#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtStrings.h"

namespace tamberlyn {

namespace {
constexpr int kDefaultBalloonMilliseconds = 10000;
}

QtNotifyIcon::QtNotifyIcon(const QtDesktop& desktop)
    : desktop_(desktop), trayWatch_([this] { return trayAvailable(); }, [this](bool available) {
          if (trayChanged) trayChanged(available);
      }) {
    QObject::connect(&trayIcon_, &QSystemTrayIcon::activated, &trayIcon_,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         // A double click comes after the click it began with; the middle
                         // button does nothing.
                         if (reason == QSystemTrayIcon::Trigger) tell(TrayIntent::Activated);
                         if (reason == QSystemTrayIcon::Context) tell(TrayIntent::ContextActivated);
                     });
    // Qt tells of a click on its message only: one that times out or is closed goes unheard.
    QObject::connect(&trayIcon_, &QSystemTrayIcon::messageClicked, &trayIcon_,
                     [this] { tell(TrayIntent::BalloonClicked); });
}

void QtNotifyIcon::tell(TrayIntent intent) {
    if (intentArrived) intentArrived(intent, iconId_);
}

void QtNotifyIcon::addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) {
    iconId_ = static_cast<std::int32_t>(id);
    if (icon != 0) trayIcon_.setIcon(desktop_.icon(icon));
    if (tip) trayIcon_.setToolTip(toQString(*tip));
    trayIcon_.show();
}

void QtNotifyIcon::changeIcon(std::uint32_t /*id: the one icon*/, IconHandle icon) {
    trayIcon_.setIcon(desktop_.icon(icon));
}

void QtNotifyIcon::changeTip(std::uint32_t /*id*/, const std::string& tip) { trayIcon_.setToolTip(toQString(tip)); }

void QtNotifyIcon::showBalloon(std::uint32_t /*id*/, const std::string& title, const std::string& text,
                               std::uint32_t timeoutMs) {
    if (title.empty() && text.empty()) {
        takeBalloonDown();
        return;
    }
    const int milliseconds = timeoutMs > 0 ? static_cast<int>(timeoutMs) : kDefaultBalloonMilliseconds;
    trayIcon_.showMessage(toQString(title), withNewlines(text), QSystemTrayIcon::NoIcon, milliseconds);
}

void QtNotifyIcon::takeBalloonDown() {
    // Qt has no call to take a message down. Beside an icon that Qt draws itself in an
    // XEmbed tray, the message is Qt's own balloon, and a message with neither title nor
    // text closes it. An icon that the desktop draws (a StatusNotifierItem over D-Bus) has
    // no place on screen known to Qt; its message went out as a desktop notification that
    // expires after the time it was given, and an empty message would only be a new one.
    if (trayIcon_.geometry().isEmpty()) return;
    trayIcon_.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

void QtNotifyIcon::deleteIcon(std::uint32_t /*id*/) { trayIcon_.hide(); }

bool QtNotifyIcon::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace tamberlyn
