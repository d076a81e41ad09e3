#include "platform/qt/QtTrayHook.h"

#include <QSystemTrayIcon>

#include "platform/qt/QtNotifyIcon.h"

namespace tamberlyn {

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
            // Qt reports a whole click; the control hears of its press and its release.
            switch (reason) {
                case QSystemTrayIcon::Trigger:
                    target->HandleTrayMessage(TrayEvent::LeftButtonDown, id);
                    target->HandleTrayMessage(TrayEvent::LeftButtonUp, id);
                    break;
                case QSystemTrayIcon::Context:
                    target->HandleTrayMessage(TrayEvent::RightButtonDown, id);
                    target->HandleTrayMessage(TrayEvent::RightButtonUp, id);
                    break;
                case QSystemTrayIcon::DoubleClick: target->HandleTrayMessage(TrayEvent::LeftDoubleClick, id); break;
                case QSystemTrayIcon::MiddleClick: target->HandleTrayMessage(TrayEvent::MiddleButtonUp, id); break;
                case QSystemTrayIcon::Unknown: break;
            }
        }));
    connections_.push_back(QObject::connect(tray, &QSystemTrayIcon::messageClicked, tray, [icon, target] {
        target->HandleTrayMessage(TrayEvent::BalloonClicked, icon->iconId());
    }));
}

void QtTrayHook::remove(WindowHandle /*window*/) { disconnectAll(); }

void QtTrayHook::disconnectAll() {
    for (const QMetaObject::Connection& connection : connections_) QObject::disconnect(connection);
    connections_.clear();
}

}  // namespace tamberlyn
