#include "platform/x11/X11WindowServices.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/x11/TitleText.h"

namespace tamberlyn {
namespace {

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
    return std::ranges::find(values, value) != values.end();
}

// Property lengths, in 32-bit units: a title of up to 8 KiB is plenty for its first
// characters; lists are short.
constexpr std::uint32_t kTitleLongs = 2048;
constexpr std::uint32_t kListLongs = 64;
constexpr std::uint32_t kClientListLongs = 1u << 16;

// Frames nest a client a level or two deep; the bound only guards against a pathological tree.
constexpr int kMaxFrameDepth = 32;

// The root tells of its children coming, going and moving, of the client list, and (as a
// structure event) of a new notification area.
constexpr std::uint32_t kRootEvents =
    XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
constexpr std::uint32_t kTopLevelEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
// Inside a frame, a window's end and moves reach only those who watch the window itself.
constexpr std::uint32_t kFramedEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

// Without waiting for an answer: a BadWindow for a window gone meanwhile is dropped.
void selectEvents(xcb_connection_t* connection, xcb_window_t window, std::uint32_t mask) {
    const xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(connection, cookie.sequence);
}

}  // namespace

X11WindowServices::X11WindowServices(const std::string& displayName, TimeSource now)
    : X11WindowServices(X11Connection::to(displayName), std::move(now)) {}

X11WindowServices::X11WindowServices(Connector connect, TimeSource now)
    : x11_(std::move(connect)), close_(x11_, std::move(now)) {
    rebuild();
}

int X11WindowServices::fileDescriptor() const { return x11_.fileDescriptor(); }

// The full scan, pipelined: a few round trips whatever the number of windows.
void X11WindowServices::rebuild() {
    xcb_connection_t* const connection = x11_.get();
    const X11Connection::Atoms& atoms = x11_.atoms();
    const xcb_window_t root = x11_.root();
    windows_.clear();
    clientList_.clear();
    listed_.clear();
    wanted_.clear();
    clientListWanted_ = false;
    close_.clear();
    trayOwnerKnown_ = false;
    // Watching first, then looking: whatever changes in between arrives as events afterwards.
    selectEvents(connection, root, kRootEvents);
    const auto treeCookie = xcb_query_tree(connection, root);
    const auto listCookie =
        xcb_get_property(connection, 0, root, atoms.netClientList, XCB_ATOM_WINDOW, 0, kClientListLongs);
    const auto tree = x11::take(connection, xcb_query_tree_reply, treeCookie);
    const auto clientList = x11::take(connection, xcb_get_property_reply, listCookie);
    x11_.throwIfBroken();
    if (!tree) throw PlatformError("The X server did not list the root window's children.");

    const std::span<const xcb_window_t> children{xcb_query_tree_children(tree.get()),
                                                 static_cast<std::size_t>(xcb_query_tree_children_length(tree.get()))};
    for (const xcb_window_t child : children) {
        track(child, child);
        want(child, kAll, true);
    }
    applyClientList(longsOf(clientList.get()));
    fetchWanted();
    // The frames of listed clients are known now. Below other children of the root without
    // WM_STATE, a managed client is found by its WM_STATE: a window manager that lists no
    // clients, or one that stopped, framed it before we were watching.
    std::unordered_set<xcb_window_t> frames;
    for (const auto& [id, w] : windows_) {
        if (w.topLevel != id && w.topLevel != XCB_NONE) frames.insert(w.topLevel);
    }
    std::vector<xcb_window_t> unmanaged;
    for (const xcb_window_t child : children) {
        const auto it = windows_.find(child);
        if (it != windows_.end() && !it->second.wmState && !frames.contains(child)) unmanaged.push_back(child);
    }
    findClientsBeneath(unmanaged);
    changed(true);
}

// Level by level, one batch of requests per level, not per window.
void X11WindowServices::findClientsBeneath(const std::vector<xcb_window_t>& topLevels) {
    xcb_connection_t* const connection = x11_.get();
    const X11Connection::Atoms& atoms = x11_.atoms();
    struct Candidate {
        xcb_window_t window, topLevel;
    };
    std::vector<Candidate> level;
    for (const xcb_window_t top : topLevels) level.push_back({top, top});
    std::unordered_set<xcb_window_t> resolved;
    for (int depth = 0; !level.empty() && depth < kMaxFrameDepth; ++depth) {
        std::vector<std::pair<xcb_get_property_cookie_t, xcb_query_tree_cookie_t>> cookies;
        cookies.reserve(level.size());
        for (const Candidate& c : level) {
            cookies.emplace_back(xcb_get_property(connection, 0, c.window, atoms.wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
                                 xcb_query_tree(connection, c.window));
        }
        std::vector<Candidate> next;
        for (std::size_t k = 0; k < level.size(); ++k) {
            const auto state = x11::take(connection, xcb_get_property_reply, cookies[k].first);
            const auto subtree = x11::take(connection, xcb_query_tree_reply, cookies[k].second);
            const Candidate& c = level[k];
            if (resolved.contains(c.topLevel)) continue;
            if (depth > 0 && state && state->type != XCB_NONE) {
                track(c.window, c.topLevel);
                want(c.window, kAll, true);
                resolved.insert(c.topLevel);
                continue;
            }
            if (!subtree) continue;
            const xcb_window_t* grandchildren = xcb_query_tree_children(subtree.get());
            for (int g = 0; g < xcb_query_tree_children_length(subtree.get()); ++g) {
                next.push_back({grandchildren[g], c.topLevel});
            }
        }
        x11_.throwIfBroken();
        std::erase_if(next, [&](const Candidate& c) { return resolved.contains(c.topLevel); });
        level = std::move(next);
    }
    fetchWanted();
}

X11WindowServices::Window& X11WindowServices::track(xcb_window_t window, xcb_window_t topLevel) {
    const auto [it, added] = windows_.try_emplace(window);
    if (added) it->second.seen = nextSeen_++;
    it->second.topLevel = topLevel;
    changed(true);
    return it->second;
}

void X11WindowServices::forget(xcb_window_t window) {
    if (windows_.erase(window) == 0) return;
    wanted_.erase(window);
    close_.forget(window);
    changed(true);
}

void X11WindowServices::want(xcb_window_t window, std::uint8_t properties, bool watch, bool parent) {
    Wanted& wanted = wanted_[window];
    wanted.properties |= properties;
    wanted.watch = wanted.watch || watch;
    wanted.parent = wanted.parent || parent;
}

void X11WindowServices::changed(bool viewToo) {
    ++changes_;
    trayOwnerKnown_ = false;
    if (viewToo) viewStale_ = true;
}

void X11WindowServices::applyClientList(std::span<const std::uint32_t> windows) {
    if (std::ranges::equal(windows, clientList_)) return;
    clientList_.assign(windows.begin(), windows.end());
    listed_ = {clientList_.begin(), clientList_.end()};
    for (const xcb_window_t window : clientList_) {
        // A client we have not seen pass through the root: started before we were, or framed
        // from the outset. Where it sits is asked of the server.
        if (!windows_.contains(window)) {
            track(window, XCB_NONE);
            want(window, kAll, true, true);
        }
    }
    changed(true);
}

// The root's child that holds parent: known for the windows we track, asked otherwise.
xcb_window_t X11WindowServices::topLevelAbove(xcb_window_t parent) {
    xcb_window_t current = parent;
    for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
        if (const auto it = windows_.find(current); it != windows_.end() && it->second.topLevel != XCB_NONE) {
            return it->second.topLevel;
        }
        const auto tree = x11::take(x11_.get(), xcb_query_tree_reply, xcb_query_tree(x11_.get(), current));
        if (!tree) return XCB_NONE;
        if (tree->parent == x11_.root()) return current;
        current = tree->parent;
    }
    return XCB_NONE;
}

void X11WindowServices::fetchWanted() {
    xcb_connection_t* const connection = x11_.get();
    const X11Connection::Atoms& atoms = x11_.atoms();
    const xcb_window_t root = x11_.root();
    while (!wanted_.empty() || clientListWanted_) {
        const auto batch = std::exchange(wanted_, {});
        const bool listWanted = std::exchange(clientListWanted_, false);
        struct Request {
            xcb_window_t window;
            Wanted wanted;
            xcb_get_property_cookie_t netName{}, name{}, transientFor{}, type{}, protocols{}, state{};
            xcb_query_tree_cookie_t tree{};
        };
        std::vector<Request> requests;
        requests.reserve(batch.size());
        xcb_get_property_cookie_t listCookie{};
        if (listWanted) {
            listCookie = xcb_get_property(connection, 0, root, atoms.netClientList, XCB_ATOM_WINDOW, 0, kClientListLongs);
        }
        for (const auto& [window, wanted] : batch) {
            const auto it = windows_.find(window);
            if (it == windows_.end()) continue;
            Request r{window, wanted};
            bool askParent = wanted.parent;
            if (wanted.watch) {
                // Selected before reading: a change after the read arrives as an event. Inside
                // a frame, a move before the selection reached no one: where it is now is asked.
                const bool framed = it->second.topLevel != window;
                selectEvents(connection, window, framed ? kFramedEvents : kTopLevelEvents);
                it->second.watchesStructure = framed;
                askParent = askParent || framed;
            }
            const auto get = [&](xcb_atom_t property, xcb_atom_t type, std::uint32_t longs) {
                return xcb_get_property(connection, 0, window, property, type, 0, longs);
            };
            if ((wanted.properties & kTitle) != 0) {
                r.netName = get(atoms.netWmName, atoms.utf8String, kTitleLongs);
                r.name = get(XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, kTitleLongs);
            }
            if ((wanted.properties & kTransientFor) != 0) r.transientFor = get(XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
            if ((wanted.properties & kType) != 0) r.type = get(atoms.netWmWindowType, XCB_ATOM_ATOM, kListLongs);
            if ((wanted.properties & kProtocols) != 0) r.protocols = get(atoms.wmProtocols, XCB_ATOM_ATOM, kListLongs);
            if ((wanted.properties & kWmState) != 0) r.state = get(atoms.wmState, XCB_GET_PROPERTY_TYPE_ANY, 0);
            if (askParent) r.tree = xcb_query_tree(connection, window);
            requests.push_back(r);
        }
        if (listWanted) {
            const auto list = x11::take(connection, xcb_get_property_reply, listCookie);
            applyClientList(longsOf(list.get()));
        }
        for (const Request& r : requests) {
            bool gone = false;
            const auto reply = [&](xcb_get_property_cookie_t cookie) {
                return cookie.sequence != 0 ? x11::take(connection, xcb_get_property_reply, cookie, &gone)
                                            : x11::Owned<xcb_get_property_reply_t>{};
            };
            const auto netName = reply(r.netName);
            const auto name = reply(r.name);
            const auto transientFor = reply(r.transientFor);
            const auto type = reply(r.type);
            const auto protocols = reply(r.protocols);
            const auto state = reply(r.state);
            const auto tree = r.tree.sequence != 0 ? x11::take(connection, xcb_query_tree_reply, r.tree, &gone)
                                                   : x11::Owned<xcb_query_tree_reply_t>{};
            if (gone) {
                forget(r.window);
                continue;
            }
            const auto it = windows_.find(r.window);
            if (it == windows_.end()) continue;
            Window& w = it->second;
            Properties p = w.properties;
            if ((r.wanted.properties & kTitle) != 0) {
                p.title.clear();
                if (netName && netName->type == atoms.utf8String) p.title = x11::sanitizeUtf8(bytesOf(netName.get()));
                if (p.title.empty() && name) {
                    if (name->type == XCB_ATOM_STRING) {
                        p.title = x11::latin1ToUtf8(bytesOf(name.get()));
                    } else if (name->type == atoms.compoundText) {
                        p.title = x11::compoundTextToUtf8(bytesOf(name.get()));
                    } else {
                        p.title = x11::sanitizeUtf8(bytesOf(name.get()));  // UTF8_STRING, or a guess
                    }
                }
            }
            if ((r.wanted.properties & kTransientFor) != 0) {
                const auto owner = longsOf(transientFor.get());
                p.transientFor = owner.empty() ? XCB_NONE : owner[0];
            }
            if ((r.wanted.properties & kType) != 0) {
                const auto types = longsOf(type.get());
                p.desktopShell = holds(types, atoms.netWmWindowTypeDesktop) || holds(types, atoms.netWmWindowTypeDock);
            }
            if ((r.wanted.properties & kProtocols) != 0) {
                p.takesDeleteWindow = holds(longsOf(protocols.get()), atoms.wmDeleteWindow);
            }
            if (p != w.properties) {
                w.properties = std::move(p);
                changed(false);
            }
            if ((r.wanted.properties & kWmState) != 0) {
                const bool managed = state && state->type != XCB_NONE;
                if (managed != w.wmState) {
                    w.wmState = managed;
                    changed(true);
                }
            }
            if (tree) {
                const xcb_window_t top = tree->parent == root ? r.window : topLevelAbove(tree->parent);
                // The climb may have asked the server; the window is looked up again.
                if (const auto again = windows_.find(r.window); again != windows_.end() && again->second.topLevel != top) {
                    again->second.topLevel = top;
                    changed(true);
                }
            }
        }
        x11_.throwIfBroken();
    }
}

void X11WindowServices::handle(const xcb_generic_event_t* event) {
    const X11Connection::Atoms& atoms = x11_.atoms();
    const xcb_window_t root = x11_.root();
    switch (event->response_type & 0x7F) {
        case XCB_CREATE_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (e->parent == root && !windows_.contains(e->window)) {
                track(e->window, e->window);
                want(e->window, kAll, true);
            }
            break;
        }
        case XCB_DESTROY_NOTIFY:
            forget(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
            break;
        case XCB_REPARENT_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            const auto it = windows_.find(e->window);
            if (e->parent == root) {
                if (it == windows_.end()) {
                    track(e->window, e->window);
                    want(e->window, kAll, true);
                } else if (it->second.topLevel != e->window) {
                    it->second.topLevel = e->window;
                    changed(true);
                }
            } else if (it != windows_.end()) {
                // Into a frame, most likely: the window stays, under the frame's top level.
                const auto parent = windows_.find(e->parent);
                const bool parentKnown = parent != windows_.end() && parent->second.topLevel != XCB_NONE;
                it->second.topLevel = parentKnown ? parent->second.topLevel : XCB_NONE;
                want(e->window, 0, !it->second.watchesStructure, !parentKnown);
                changed(true);
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (e->window == root) {
                if (e->atom == atoms.netClientList) clientListWanted_ = true;
                break;
            }
            if (!windows_.contains(e->window)) break;
            std::uint8_t what = 0;
            if (e->atom == atoms.netWmName || e->atom == XCB_ATOM_WM_NAME) what = kTitle;
            if (e->atom == XCB_ATOM_WM_TRANSIENT_FOR) what = kTransientFor;
            if (e->atom == atoms.netWmWindowType) what = kType;
            if (e->atom == atoms.wmProtocols) what = kProtocols;
            if (e->atom == atoms.wmState) what = kWmState;
            if (what != 0) want(e->window, what);
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            // A notification area announces itself to every client: its host is the shell's now.
            const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (e->window == root && e->type == atoms.manager && e->format == 32 &&
                e->data.data32[1] == x11_.traySelection()) {
                changed(false);
            }
            break;
        }
        default:
            // Mapping, moves, and errors of requests whose answers were not needed.
            break;
    }
}

void X11WindowServices::reconnect() {
    // A connection lost (the server restarted, or someone killed this client) is replaced,
    // and the windows scanned afresh.
    x11_.reconnect();
    rebuild();
    if (onReconnect) onReconnect();
}

void X11WindowServices::drainEvents() {
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x11_.get())) {
            handle(event);
            std::free(event);
        }
        if (wanted_.empty() && !clientListWanted_) return;
        fetchWanted();  // more events may arrive meanwhile
    }
}

bool X11WindowServices::processEvents() {
    const std::uint64_t before = changes_;
    if (x11_.broken()) reconnect();
    try {
        drainEvents();
    } catch (const PlatformError&) {
        if (!x11_.broken()) throw;
    }
    if (x11_.broken()) {
        reconnect();
        drainEvents();
    }
    return changes_ != before;
}

std::uint64_t X11WindowServices::changeCount() {
    processEvents();
    return changes_;
}

const std::vector<xcb_window_t>& X11WindowServices::view() {
    if (!viewStale_) return view_;
    std::vector<std::pair<std::uint64_t, xcb_window_t>> bySeen;
    bySeen.reserve(windows_.size());
    for (const auto& [id, w] : windows_) bySeen.emplace_back(w.seen, id);
    std::ranges::sort(bySeen);
    // A frame stands for the managed clients inside it.
    std::unordered_map<xcb_window_t, std::vector<xcb_window_t>> inside;
    for (const auto& [seen, id] : bySeen) {
        const Window& w = windows_.at(id);
        if (w.topLevel != id && w.topLevel != XCB_NONE && (w.wmState || listed_.contains(id))) {
            inside[w.topLevel].push_back(id);
        }
    }
    view_.clear();
    std::unordered_set<xcb_window_t> added;
    const auto add = [&](xcb_window_t w) {
        if (added.insert(w).second) view_.push_back(w);
    };
    for (const auto& [seen, id] : bySeen) {
        const Window& w = windows_.at(id);
        if (w.topLevel != id) continue;
        const auto clients = inside.find(id);
        if (w.wmState || clients == inside.end()) {
            add(id);
        } else {
            for (const xcb_window_t client : clients->second) add(client);
        }
    }
    for (const xcb_window_t w : clientList_) {
        if (windows_.contains(w)) add(w);
    }
    viewStale_ = false;
    return view_;
}

const X11WindowServices::Window* X11WindowServices::find(WindowHandle window) const {
    if (window <= 0 || window > std::numeric_limits<xcb_window_t>::max()) return nullptr;
    const auto it = windows_.find(static_cast<xcb_window_t>(window));
    return it != windows_.end() ? &it->second : nullptr;
}

HandleList X11WindowServices::topLevelWindows() {
    processEvents();
    const std::vector<xcb_window_t>& windows = view();
    return {windows.begin(), windows.end()};
}

std::string X11WindowServices::readTitle(WindowHandle window, int maxCharacters) {
    const Window* w = find(window);
    if (w == nullptr || maxCharacters <= 0) return {};
    return x11::firstCodePoints(w->properties.title, maxCharacters);
}

void X11WindowServices::requestClose(WindowHandle handle) {
    const Window* w = find(handle);
    if (w == nullptr) return;  // gone already
    const auto window = static_cast<xcb_window_t>(handle);
    close_.request(window, w->properties.takesDeleteWindow, w->wmState || listed_.contains(window));
}

bool X11WindowServices::hasTransient(xcb_window_t window) {
    if (!transientsKnown_ || transientsAt_ != changes_) {
        haveTransient_.clear();
        for (const xcb_window_t id : view()) {
            const xcb_window_t owner = windows_.at(id).properties.transientFor;
            if (owner != XCB_NONE && owner != id) haveTransient_.insert(owner);
        }
        transientsAt_ = changes_;
        transientsKnown_ = true;
    }
    return haveTransient_.contains(window);
}

bool X11WindowServices::closePending(WindowHandle handle) {
    return close_.pending(handle, [&] { return hasTransient(static_cast<xcb_window_t>(handle)); });
}

WindowHandle X11WindowServices::ownerOf(WindowHandle window) {
    const Window* w = find(window);
    if (w == nullptr || w->properties.transientFor == x11_.root()) return 0;
    return static_cast<WindowHandle>(w->properties.transientFor);
}

// The program that holds the notification area; its windows are part of the desktop shell.
xcb_window_t X11WindowServices::trayHost() {
    if (!trayOwnerKnown_ && x11_.traySelection() != XCB_NONE) {
        const auto owner = x11::take(x11_.get(), xcb_get_selection_owner_reply,
                                     xcb_get_selection_owner(x11_.get(), x11_.traySelection()));
        x11_.throwIfBroken();
        trayOwner_ = owner ? owner->owner : XCB_NONE;
        trayOwnerKnown_ = true;
    }
    return trayOwner_;
}

bool X11WindowServices::isDesktopShell(WindowHandle window) {
    const Window* w = find(window);
    if (w == nullptr) return false;
    if (w->properties.desktopShell) return true;
    // A panel such as trayer names none of its windows DOCK, and a short fragment would
    // take the notification area away, with every icon in it.
    const xcb_window_t host = trayHost();
    return host != XCB_NONE && (static_cast<xcb_window_t>(window) & x11_.clientBits()) == (host & x11_.clientBits());
}

}  // namespace tamberlyn
