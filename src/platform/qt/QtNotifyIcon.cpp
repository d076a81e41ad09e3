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
      }) {}

void QtNotifyIcon::notify(NotifyOperation operation, const NotifyIconRecord& record) {
    switch (operation) {
        case NotifyOperation::Add:
            iconId_ = static_cast<std::int32_t>(record.uID);
            if ((record.uFlags & kNifIcon) != 0) trayIcon_.setIcon(desktop_.icon(record.hIcon));
            if ((record.uFlags & kNifTip) != 0) trayIcon_.setToolTip(toQString(record.szTip));
            trayIcon_.show();
            break;
        case NotifyOperation::Modify:
            if ((record.uFlags & kNifIcon) != 0) trayIcon_.setIcon(desktop_.icon(record.hIcon));
            if ((record.uFlags & kNifTip) != 0) trayIcon_.setToolTip(toQString(record.szTip));
            if ((record.uFlags & kNifInfo) != 0) showBalloon(record);
            break;
        case NotifyOperation::Delete: trayIcon_.hide(); break;
    }
}

void QtNotifyIcon::showBalloon(const NotifyIconRecord& record) {
    if (record.szInfoTitle.empty() && record.szInfo.empty()) {
        takeBalloonDown();
        return;
    }
    const int milliseconds = record.uTimeout > 0 ? static_cast<int>(record.uTimeout) : kDefaultBalloonMilliseconds;
    trayIcon_.showMessage(toQString(record.szInfoTitle), withNewlines(record.szInfo), QSystemTrayIcon::NoIcon,
                          milliseconds);
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

bool QtNotifyIcon::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace tamberlyn
