#include "platform/x11/X11ClosePolicy.h"

#include <utility>

namespace tamberlyn {
namespace {

// _NET_CLOSE_WINDOW's source indication: a pager or similar tool, not the application.
constexpr std::uint32_t kSourcePager = 2;

}  // namespace

X11ClosePolicy::X11ClosePolicy(const X11Connection& x11, TimeSource now)
    : x11_(x11), now_(now), requests_(std::move(now)) {}

void X11ClosePolicy::sendClientMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                                       xcb_atom_t type, std::uint32_t data0, std::uint32_t data1) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = data0;
    event.data.data32[1] = data1;
    // Checked, then discarded: a BadWindow for a window that just went away is dropped
    // without a round trip and without waking this client up.
    const xcb_void_cookie_t cookie = xcb_send_event_checked(x11_.get(), 0, destination, eventMask,
                                                            reinterpret_cast<const char*>(&event));
    xcb_discard_reply(x11_.get(), cookie.sequence);
}

void X11ClosePolicy::request(xcb_window_t window, bool takesDeleteWindow, bool managed) {
    x11_.throwIfBroken();
    const X11Connection::Atoms& atoms = x11_.atoms();
    if (takesDeleteWindow) {
        sendClientMessage(window, XCB_EVENT_MASK_NO_EVENT, window, atoms.wmProtocols, atoms.wmDeleteWindow,
                          XCB_CURRENT_TIME);
    } else if (managed) {
        // Only a window manager acts on this one, and it may end the client to do so.
        const auto first = firstWantedByManager_.try_emplace(window, now_()).first->second;
        if (now_() - first < kProtocolsGrace) return;  // a later cycle asks again
        sendClientMessage(x11_.root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                          window, atoms.netCloseWindow, XCB_CURRENT_TIME, kSourcePager);
    } else {
        // Not managed (yet): no window manager would act on it, and a program that has just
        // created its window may still be about to say it takes WM_DELETE_WINDOW. A later
        // cycle asks again.
        return;
    }
    xcb_flush(x11_.get());
    x11_.throwIfBroken();
    requests_.asked(window);
}

bool X11ClosePolicy::pending(WindowHandle window, const std::function<bool()>& showsQuestion) {
    return requests_.pending(window, showsQuestion);
}

void X11ClosePolicy::forget(xcb_window_t window) {
    requests_.forget(window);
    firstWantedByManager_.erase(window);
}

void X11ClosePolicy::clear() {
    requests_.clear();
    firstWantedByManager_.clear();
}

}  // namespace tamberlyn
