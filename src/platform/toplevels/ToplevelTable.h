#pragma once
// The windows a compositor tells of, kept for the scan cycle's questions: what every route
// without global window ids shares (the Wayland protocols, the GNOME Shell extension). A
// route hands in each window by a key of its own (an object's address, an id) and gets a
// handle minted here (1, 2, 3, ..., never reused); its details change in waiting and
// count together at commit. The close requests' rules for these routes live here: which
// window is a question of its own (CloseRequests holds the grace).

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/CloseRequests.h"
#include "platform/EventDrivenWindowServices.h"

namespace tamberlyn {

class ToplevelTable {
public:
    using Key = std::uint64_t;
    using TimeSource = CloseRequests::TimeSource;

    // What a route tells of a window. The title is well-formed UTF-8.
    struct Toplevel {
        std::string title;
        std::string appId;
        WindowHandle parent = 0;  // 0: none, or one not (yet) known here
        std::int64_t pid = 0;     // 0: the route does not say
        bool operator==(const Toplevel&) const = default;
    };

    explicit ToplevelTable(TimeSource now) : closeRequests_(std::move(now)) {}

    WindowHandle add(Key key);
    WindowHandle handleOf(Key key) const;  // 0: not in the table
    void setTitle(WindowHandle window, std::string_view bytes);  // any bytes
    void setAppId(WindowHandle window, std::string_view text);
    void setParent(WindowHandle window, WindowHandle parent);
    void setPid(WindowHandle window, std::int64_t pid);
    // A window is listed from its first commit; a commit that changes nothing counts nothing.
    void commit(WindowHandle window);
    void remove(WindowHandle window);

    // Grows with every change to the listed windows or their titles.
    std::uint64_t changes() const { return changes_; }
    // Committed windows in the order first seen, but those isOwn names.
    HandleList list(const std::function<bool(const Toplevel&)>& isOwn) const;
    std::string title(WindowHandle window, int maxCharacters) const;
    // Notes a close request and gives the key to send it to; none for a window not listed.
    std::optional<Key> askToClose(WindowHandle window);
    // A request counts as unanswered within the grace, and while the window shows a
    // question of its own (a window it owns).
    bool closePending(WindowHandle window);
    // The parent the route tells of. A route may tell of none (sway 1.7): then a window its
    // program opens while a close request to another of its windows is within the grace
    // counts as that window's question.
    WindowHandle ownerOf(WindowHandle window) const;

    template <typename Visit>
    void forEachKey(Visit visit) const {
        for (const auto& [handle, entry] : entries_) visit(entry.key);
    }

private:
    struct Entry {
        Key key = 0;
        Toplevel current;
        Toplevel waiting;
        bool committed = false;
        WindowHandle questionOf = 0;
    };

    Entry* find(WindowHandle window);
    const Entry* find(WindowHandle window) const;
    WindowHandle owner(const Entry& entry) const;
    WindowHandle askedJustBefore(const Toplevel& toplevel) const;
    bool hasChild(WindowHandle window) const;

    std::map<WindowHandle, Entry> entries_;  // by handle: the order first seen
    std::unordered_map<Key, WindowHandle> handles_;
    WindowHandle nextHandle_ = 1;
    std::uint64_t changes_ = 0;
    CloseRequests closeRequests_;
};

}  // namespace tamberlyn
