#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>
#include <xcb/xcb.h>

namespace tamberlyn {

// Tells when the notification area comes or goes, which Qt keeps to itself: it takes its
// icon out of an area that ends and puts it into the next one, silently. What tells Qt (a
// new area's MANAGER announcement, the end of the old area's window) passes through Qt's
// event queue here, and the area is looked for again once Qt has dealt with it.
class TrayWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    // `available`: whether there is an area now; `changed`: called with it when that changes.
    TrayWatch(std::function<bool()> available, std::function<void(bool)> changed);
    ~TrayWatch() override;
    TrayWatch(const TrayWatch&) = delete;
    TrayWatch& operator=(const TrayWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void lookAgain();

    std::function<bool()> available_;
    std::function<void(bool)> changed_;
    bool last_ = false;
    bool lookPending_ = false;
    xcb_atom_t manager_ = XCB_NONE;
};

}  // namespace tamberlyn
