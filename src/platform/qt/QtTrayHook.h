#pragma once

#include <QMetaObject>
#include <vector>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

class QtNotifyIcon;

// Qt's tray signals as the tray control's events.
class QtTrayHook final : public TrayMessageHook {
public:
    explicit QtTrayHook(QtNotifyIcon& icon);
    ~QtTrayHook() override;

    void install(WindowHandle window, TrayMessageSink& sink) override;
    void remove(WindowHandle window) override;

private:
    void disconnectAll();

    QtNotifyIcon& icon_;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace tamberlyn
