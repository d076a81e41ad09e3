#pragma once

#include <QSystemTrayIcon>

#include "platform/NotifyIcon.h"
#include "platform/qt/TrayWatch.h"

namespace tamberlyn {

class QtDesktop;

// The notification-area icon over QSystemTrayIcon: XEmbed with a tray host such as
// trayer, or a StatusNotifierItem where the session has one.
class QtNotifyIcon final : public NotifyIcon {
public:
    explicit QtNotifyIcon(const QtDesktop& desktop);

    // Qt reports on the icon through signals, not through a window.
    WindowHandle controlWindow() const override { return 0; }
    void notify(NotifyOperation operation, const NotifyIconRecord& record) override;
    bool trayAvailable() const override;

    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    // The id the core gave the icon when it added it.
    std::int32_t iconId() const { return iconId_; }

private:
    void showBalloon(const NotifyIconRecord& record);
    void takeBalloonDown();

    const QtDesktop& desktop_;
    QSystemTrayIcon trayIcon_;
    std::int32_t iconId_ = 0;
    TrayWatch trayWatch_;
};

}  // namespace tamberlyn
