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
    // Qt has no call to take a message down; a message with neither title nor text
    // is its way: Qt's own balloon then just closes the one on screen.
    const int milliseconds = record.uTimeout > 0 ? static_cast<int>(record.uTimeout) : kDefaultBalloonMilliseconds;
    trayIcon_.showMessage(toQString(record.szInfoTitle), withNewlines(record.szInfo), QSystemTrayIcon::NoIcon,
                          milliseconds);
}

bool QtNotifyIcon::trayAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

}  // namespace tamberlyn
