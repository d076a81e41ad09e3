#include "platform/qt/TrayWatch.h"

#include <QGuiApplication>

#include <cstdlib>

namespace tamberlyn {

TrayWatch::TrayWatch(std::function<bool()> available, std::function<void(bool)> changed)
    : available_(std::move(available)), changed_(std::move(changed)) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr) {
        static constexpr char kManager[] = "MANAGER";
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof kManager - 1, kManager), nullptr);
        if (reply != nullptr) manager_ = reply->atom;
        std::free(reply);
    }
    // Asking also makes Qt watch the area, so its news come by here.
    last_ = available_();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TrayWatch::~TrayWatch() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool TrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" || lookPending_) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    const bool news =
        type == XCB_DESTROY_NOTIFY ||
        (type == XCB_CLIENT_MESSAGE && reinterpret_cast<const xcb_client_message_event_t*>(event)->type == manager_);
    if (news) {
        // Qt handles the event after this filter: look when it has.
        lookPending_ = true;
        QMetaObject::invokeMethod(this, [this] { lookAgain(); }, Qt::QueuedConnection);
    }
    return false;
}

void TrayWatch::lookAgain() {
    lookPending_ = false;
    const bool now = available_();
    if (now == last_) return;
    last_ = now;
    if (changed_) changed_(now);
}

}  // namespace tamberlyn
