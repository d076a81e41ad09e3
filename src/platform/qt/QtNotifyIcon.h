#pragma once

#include <QSystemTrayIcon>

#include "platform/NotifyIcon.h"
#include "platform/qt/TrayWatch.h"

namespace tamberlyn {

class QtDesktop;

// The notification-area icon over QSystemTrayIcon: XEmbed with a tray host such as
// trayer, or a StatusNotifierItem where the session has one. It holds one icon: the id
// it was added with is the one its intents report.
class QtNotifyIcon final : public NotifyIcon {
public:
    explicit QtNotifyIcon(const QtDesktop& desktop);

    bool trayAvailable() const override;
    void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) override;
    void changeIcon(std::uint32_t id, IconHandle icon) override;
    void changeTip(std::uint32_t id, const std::string& tip) override;
    void showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                     std::uint32_t timeoutMs) override;
    void deleteIcon(std::uint32_t id) override;

    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    // The id the core gave the icon when it added it.
    std::int32_t iconId() const { return iconId_; }

private:
    void takeBalloonDown();
    void tell(TrayIntent intent);

    const QtDesktop& desktop_;
    QSystemTrayIcon trayIcon_;
    std::int32_t iconId_ = 0;
    TrayWatch trayWatch_;
};

}  // namespace tamberlyn
