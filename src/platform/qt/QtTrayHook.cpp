#include "platform/qt/QtTrayHook.h"

#include <QSystemTrayIcon>

#include "platform/qt/QtNotifyIcon.h"
#include "tray/cSysTray.h"

namespace tamberlyn {

namespace {
constexpr std::int32_t WM_MBUTTONUP_CODE = 0x208;
}

QtTrayHook::QtTrayHook(QtNotifyIcon& icon) : icon_(icon) {}

QtTrayHook::~QtTrayHook() { disconnectAll(); }

void QtTrayHook::install(WindowHandle /*window: Qt has none*/, TrayMessageSink& sink) {
    disconnectAll();
    QSystemTrayIcon* tray = &icon_.trayIcon();
    QtNotifyIcon* icon = &icon_;
    TrayMessageSink* target = &sink;
    connections_.push_back(QObject::connect(
        tray, &QSystemTrayIcon::activated, tray, [icon, target](QSystemTrayIcon::ActivationReason reason) {
            const std::int32_t id = icon->iconId();
            // Qt reports a whole click; the shell reported its press and its release.
            switch (reason) {
                case QSystemTrayIcon::Trigger:
                    target->HandleTrayMessage(WM_LBUTTONDOWN_CODE, id);
                    target->HandleTrayMessage(WM_LBUTTONUP_CODE, id);
                    break;
                case QSystemTrayIcon::Context:
                    target->HandleTrayMessage(WM_RBUTTONDOWN_CODE, id);
                    target->HandleTrayMessage(WM_RBUTTONUP_CODE, id);
                    break;
                case QSystemTrayIcon::DoubleClick: target->HandleTrayMessage(WM_LBUTTONDBLCLK_CODE, id); break;
                case QSystemTrayIcon::MiddleClick: target->HandleTrayMessage(WM_MBUTTONUP_CODE, id); break;
                case QSystemTrayIcon::Unknown: break;
            }
        }));
    connections_.push_back(QObject::connect(tray, &QSystemTrayIcon::messageClicked, tray, [icon, target] {
        target->HandleTrayMessage(NIN_BALLOONUSERCLICK_CODE, icon->iconId());
    }));
}

void QtTrayHook::remove(WindowHandle /*window*/) { disconnectAll(); }

void QtTrayHook::disconnectAll() {
    for (const QMetaObject::Connection& connection : connections_) QObject::disconnect(connection);
    connections_.clear();
}

}  // namespace tamberlyn
