#include "platform/x11/X11WindowServices.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/x11/TitleText.h"

namespace tamberlyn {
namespace {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// Collects the reply to a checked request. An error (typically BadWindow for a window
// destroyed meanwhile) is consumed here: it yields no reply and never reaches the event
// queue, which a toolkit sharing the connection would otherwise report.
template <class T, class Cookie>
Owned<T> take(xcb_connection_t* connection, T* (*replyOf)(xcb_connection_t*, Cookie, xcb_generic_error_t**),
              Cookie cookie, bool* windowGone = nullptr) {
    xcb_generic_error_t* error = nullptr;
    Owned<T> reply{replyOf(connection, cookie, &error)};
    if (error != nullptr) {
        if (windowGone != nullptr && error->error_code == XCB_WINDOW) *windowGone = true;
        std::free(error);
    }
    return reply;
}

std::string_view bytesOf(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 8) return {};
    return {static_cast<const char*>(xcb_get_property_value(reply)),
            static_cast<std::size_t>(xcb_get_property_value_length(reply))};
}

std::span<const std::uint32_t> longsOf(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 32) return {};
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply)), reply->value_len};
}

bool holds(std::span<const std::uint32_t> values, std::uint32_t value) {
    for (const std::uint32_t v : values) {
        if (v == value) return true;
    }
    return false;
}

const char* describeConnectionError(int code) {
    switch (code) {
        case XCB_CONN_ERROR: return "the socket to the X server failed";
        case XCB_CONN_CLOSED_EXT_NOTSUPPORTED: return "an extension the program needs is not supported";
        case XCB_CONN_CLOSED_MEM_INSUFFICIENT: return "not enough memory";
        case XCB_CONN_CLOSED_REQ_LEN_EXCEED: return "a request was longer than the server accepts";
        case XCB_CONN_CLOSED_PARSE_ERR: return "the display name could not be parsed";
        case XCB_CONN_CLOSED_INVALID_SCREEN: return "the display has no such screen";
        case XCB_CONN_CLOSED_FDPASSING_FAILED: return "passing a file descriptor failed";
        default: return "unknown connection error";
    }
}

// Property lengths, in 32-bit units: a title of up to 8 KiB is plenty for its first
// characters; lists are short.
constexpr std::uint32_t kTitleLongs = 2048;
constexpr std::uint32_t kListLongs = 64;
constexpr std::uint32_t kClientListLongs = 1u << 16;

// Frames nest a client a level or two deep; the bound only guards against a pathological tree.
constexpr int kMaxFrameDepth = 32;

// _NET_CLOSE_WINDOW's source indication: a pager or similar tool, not the application.
constexpr std::uint32_t kSourcePager = 2;

}  // namespace

X11WindowServices::X11WindowServices(xcb_connection_t* connection, xcb_window_t root, TimeSource now)
    : connection_(connection), root_(root), now_(std::move(now)), atoms_(internAtoms()) {}

void X11WindowServices::throwIfBroken() const {
    if (connection_ == nullptr) throw PlatformError("There is no connection to the X server.");
    if (const int code = xcb_connection_has_error(connection_); code != 0) {
        throw PlatformError(std::string("The connection to the X server is broken: ") +
                            describeConnectionError(code) + " (xcb error " + std::to_string(code) + ").");
    }
}

X11WindowServices::Atoms X11WindowServices::internAtoms() {
    throwIfBroken();
    static constexpr std::array<std::string_view, 11> kNames = {
        "WM_STATE",   "WM_PROTOCOLS",        "WM_DELETE_WINDOW",
        "_NET_CLIENT_LIST", "_NET_WM_NAME", "UTF8_STRING",
        "COMPOUND_TEXT", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DESKTOP",
        "_NET_WM_WINDOW_TYPE_DOCK", "_NET_CLOSE_WINDOW"};
    std::array<xcb_intern_atom_cookie_t, kNames.size()> cookies{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(kNames[i].size()), kNames[i].data());
    }
    std::array<xcb_atom_t, kNames.size()> atoms{};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const auto reply = take(connection_, xcb_intern_atom_reply, cookies[i]);
        if (!reply) {
            throwIfBroken();
            throw PlatformError("The X server did not name the atom " + std::string(kNames[i]) + ".");
        }
        atoms[i] = reply->atom;
    }
    return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4],  atoms[5],
            atoms[6], atoms[7], atoms[8], atoms[9], atoms[10]};
}

std::vector<xcb_window_t> X11WindowServices::topLevelClients() {
    const auto treeCookie = xcb_query_tree(connection_, root_);
    const auto listCookie =
        xcb_get_property(connection_, 0, root_, atoms_.netClientList, XCB_ATOM_WINDOW, 0, kClientListLongs);
    const auto tree = take(connection_, xcb_query_tree_reply, treeCookie);
    const auto clientList = take(connection_, xcb_get_property_reply, listCookie);
    throwIfBroken();
    if (!tree) throw PlatformError("The X server did not list the root window's children.");

    const std::span<const xcb_window_t> children{xcb_query_tree_children(tree.get()),
                                                 static_cast<std::size_t>(xcb_query_tree_children_length(tree.get()))};
    // Each child of the root resolves to the first window with WM_STATE at or beneath it,
    // searched level by level: one batch of requests per level, not per window.
    std::vector<xcb_window_t> client(children.size(), XCB_NONE);
    struct Candidate {
        xcb_window_t window;
        std::size_t topLevel;
    };
    std::vector<Candidate> level;
    level.reserve(children.size());
    for (std::size_t i = 0; i < children.size(); ++i) level.push_back({children[i], i});

    for (int depth = 0; !level.empty() && depth < kMaxFrameDepth; ++depth) {
        std::vector<std::pair<xcb_get_property_cookie_t, xcb_query_tree_cookie_t>> cookies;
        cookies.reserve(level.size());
        for (const Candidate& c : level) {
            cookies.emplace_back(xcb_get_property(connection_, 0, c.window, atoms_.wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
                                 xcb_query_tree(connection_, c.window));
        }
        std::vector<Candidate> next;
        for (std::size_t k = 0; k < level.size(); ++k) {
            const auto state = take(connection_, xcb_get_property_reply, cookies[k].first);
            const auto subtree = take(connection_, xcb_query_tree_reply, cookies[k].second);
            const Candidate& c = level[k];
            if (client[c.topLevel] != XCB_NONE) continue;
            if (state && state->type != XCB_NONE) {
                client[c.topLevel] = c.window;
                continue;
            }
            if (!subtree) continue;
            const xcb_window_t* grandchildren = xcb_query_tree_children(subtree.get());
            for (int g = 0; g < xcb_query_tree_children_length(subtree.get()); ++g) {
                next.push_back({grandchildren[g], c.topLevel});
            }
        }
        throwIfBroken();
        std::erase_if(next, [&](const Candidate& c) { return client[c.topLevel] != XCB_NONE; });
        level = std::move(next);
    }

    std::vector<xcb_window_t> windows;
    std::unordered_set<xcb_window_t> seen;
    const auto add = [&](xcb_window_t w) {
        if (w != XCB_NONE && w != root_ && seen.insert(w).second) windows.push_back(w);
    };
    // Without WM_STATE anywhere beneath it, a child of the root is a client itself: an
    // unmanaged, unmapped or override-redirect window, or any window when no manager runs.
    for (std::size_t i = 0; i < children.size(); ++i) add(client[i] != XCB_NONE ? client[i] : children[i]);
    for (const std::uint32_t w : longsOf(clientList.get())) add(w);
    return windows;
}

std::vector<X11WindowServices::Properties> X11WindowServices::readProperties(const std::vector<xcb_window_t>& windows) {
    struct Cookies {
        xcb_get_property_cookie_t netName, name, transientFor, type, protocols;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t w : windows) {
        const auto get = [&](xcb_atom_t property, xcb_atom_t type, std::uint32_t longs) {
            return xcb_get_property(connection_, 0, w, property, type, 0, longs);
        };
        cookies.push_back({get(atoms_.netWmName, atoms_.utf8String, kTitleLongs),
                           get(XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kTitleLongs),
                           get(XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1),
                           get(atoms_.netWmWindowType, XCB_ATOM_ATOM, kListLongs),
                           get(atoms_.wmProtocols, XCB_ATOM_ATOM, kListLongs)});
    }
    std::vector<Properties> result(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        Properties& p = result[i];
        const auto netName = take(connection_, xcb_get_property_reply, cookies[i].netName, &p.gone);
        const auto name = take(connection_, xcb_get_property_reply, cookies[i].name, &p.gone);
        const auto transientFor = take(connection_, xcb_get_property_reply, cookies[i].transientFor, &p.gone);
        const auto type = take(connection_, xcb_get_property_reply, cookies[i].type, &p.gone);
        const auto protocols = take(connection_, xcb_get_property_reply, cookies[i].protocols, &p.gone);

        if (netName && netName->type == atoms_.utf8String) p.title = x11::sanitizeUtf8(bytesOf(netName.get()));
        if (p.title.empty() && name) {
            if (name->type == XCB_ATOM_STRING) {
                p.title = x11::latin1ToUtf8(bytesOf(name.get()));
            } else if (name->type == atoms_.compoundText) {
                p.title = x11::compoundTextToUtf8(bytesOf(name.get()));
            } else {
                p.title = x11::sanitizeUtf8(bytesOf(name.get()));  // UTF8_STRING, or a guess
            }
        }
        if (const auto owner = longsOf(transientFor.get()); !owner.empty()) p.transientFor = owner[0];
        const auto types = longsOf(type.get());
        p.desktopShell = holds(types, atoms_.netWmWindowTypeDesktop) || holds(types, atoms_.netWmWindowTypeDock);
        p.takesDeleteWindow = holds(longsOf(protocols.get()), atoms_.wmDeleteWindow);
    }
    throwIfBroken();
    return result;
}

void X11WindowServices::fetchEnumeratedProperties() {
    if (propertiesFetched_) return;
    // Windows asked to close but missing from this enumeration ride along: a window manager
    // may be framing one just now, so only the server's BadWindow says it is gone.
    std::vector<xcb_window_t> windows = enumerated_;
    for (const auto& [window, when] : closeRequests_) {
        if (!enumeratedSet_.contains(window)) windows.push_back(window);
    }
    std::vector<Properties> fetched = readProperties(windows);
    for (std::size_t i = 0; i < windows.size(); ++i) properties_[windows[i]] = std::move(fetched[i]);
    std::erase_if(closeRequests_, [&](const auto& entry) { return properties_[entry.first].gone; });
    propertiesFetched_ = true;
}

const X11WindowServices::Properties& X11WindowServices::propertiesOf(xcb_window_t window) {
    static const Properties kNone;
    if (window == XCB_NONE) return kNone;
    if (enumeratedSet_.contains(window) || closeRequests_.contains(window)) fetchEnumeratedProperties();
    if (const auto it = properties_.find(window); it != properties_.end()) return it->second;
    throwIfBroken();
    return properties_[window] = std::move(readProperties({window}).front());
}

void X11WindowServices::enumerateTopLevelWindows(EnumWindowsProc proc, HandleList& list) {
    throwIfBroken();
    enumerated_ = topLevelClients();
    enumeratedSet_ = {enumerated_.begin(), enumerated_.end()};
    properties_.clear();
    propertiesFetched_ = false;
    for (const xcb_window_t w : enumerated_) {
        if (proc(static_cast<WindowHandle>(w), list) == 0) break;
    }
}

std::string X11WindowServices::readTitle(WindowHandle window, int maxCharacters) {
    if (window <= 0 || maxCharacters <= 0) return {};
    return x11::firstCodePoints(propertiesOf(static_cast<xcb_window_t>(window)).title, maxCharacters);
}

void X11WindowServices::sendClientMessage(xcb_window_t destination, std::uint32_t eventMask, xcb_window_t window,
                                          xcb_atom_t type, std::uint32_t data0, std::uint32_t data1) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = data0;
    event.data.data32[1] = data1;
    // Checked, then discarded: a BadWindow for a window that just went away is dropped
    // without a round trip instead of landing in the event queue.
    const xcb_void_cookie_t cookie = xcb_send_event_checked(connection_, 0, destination, eventMask,
                                                            reinterpret_cast<const char*>(&event));
    xcb_discard_reply(connection_, cookie.sequence);
}

void X11WindowServices::requestClose(WindowHandle handle) {
    if (handle <= 0) return;
    const auto window = static_cast<xcb_window_t>(handle);
    const Properties& p = propertiesOf(window);
    if (p.gone) return;
    if (p.takesDeleteWindow) {
        sendClientMessage(window, XCB_EVENT_MASK_NO_EVENT, window, atoms_.wmProtocols, atoms_.wmDeleteWindow,
                          XCB_CURRENT_TIME);
    } else {
        // Only a window manager acts on this one; without one, nothing happens.
        sendClientMessage(root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window,
                          atoms_.netCloseWindow, XCB_CURRENT_TIME, kSourcePager);
    }
    xcb_flush(connection_);
    throwIfBroken();
    closeRequests_[window] = now_();
}

bool X11WindowServices::hasTransient(xcb_window_t window) const {
    for (const xcb_window_t w : enumerated_) {
        const auto it = properties_.find(w);
        if (w != window && it != properties_.end() && !it->second.gone && it->second.transientFor == window) {
            return true;
        }
    }
    return false;
}

bool X11WindowServices::closePending(WindowHandle handle) {
    const auto window = static_cast<xcb_window_t>(handle);
    const auto request = closeRequests_.find(window);
    if (handle <= 0 || request == closeRequests_.end()) return false;
    const auto requested = request->second;
    // Fetching drops the requests of windows found gone, this one's included.
    const bool exists = !propertiesOf(window).gone;
    fetchEnumeratedProperties();
    if (exists && (now_() - requested < kCloseGrace || hasTransient(window))) return true;
    // Answered or cancelled: a later cycle may ask again.
    closeRequests_.erase(window);
    return false;
}

WindowHandle X11WindowServices::ownerOf(WindowHandle window) {
    if (window <= 0) return 0;
    const xcb_window_t owner = propertiesOf(static_cast<xcb_window_t>(window)).transientFor;
    return owner == root_ ? 0 : static_cast<WindowHandle>(owner);
}

bool X11WindowServices::isDesktopShell(WindowHandle window) {
    return window > 0 && propertiesOf(static_cast<xcb_window_t>(window)).desktopShell;
}

}  // namespace tamberlyn
