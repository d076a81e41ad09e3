#include "platform/toplevels/ToplevelTable.h"

#include <algorithm>

#include "platform/x11/TitleText.h"

namespace tamberlyn {
namespace {

// As many bytes of a title as X11 reads: plenty for its first characters.
constexpr std::size_t kTitleBytes = 8192;

}  // namespace

ToplevelTable::Entry* ToplevelTable::find(WindowHandle window) {
    const auto it = entries_.find(window);
    return it != entries_.end() ? &it->second : nullptr;
}

const ToplevelTable::Entry* ToplevelTable::find(WindowHandle window) const {
    const auto it = entries_.find(window);
    return it != entries_.end() ? &it->second : nullptr;
}

WindowHandle ToplevelTable::add(Key key) {
    const WindowHandle handle = nextHandle_++;
    entries_[handle].key = key;
    handles_[key] = handle;
    return handle;
}

WindowHandle ToplevelTable::handleOf(Key key) const {
    const auto it = handles_.find(key);
    return it != handles_.end() ? it->second : 0;
}

void ToplevelTable::setTitle(WindowHandle window, std::string_view bytes) {
    if (Entry* e = find(window)) e->waiting.title = x11::sanitizeUtf8(bytes.substr(0, kTitleBytes));
}

void ToplevelTable::setAppId(WindowHandle window, std::string_view text) {
    if (Entry* e = find(window)) e->waiting.appId = text;
}

void ToplevelTable::setParent(WindowHandle window, WindowHandle parent) {
    if (Entry* e = find(window)) e->waiting.parent = parent != window ? parent : 0;
}

void ToplevelTable::setPid(WindowHandle window, std::int64_t pid) {
    if (Entry* e = find(window)) e->waiting.pid = pid;
}

// The latest close request, still within the grace, to a window of the same program.
WindowHandle ToplevelTable::askedJustBefore(const Toplevel& toplevel) const {
    const auto sameProgram = [&](const Toplevel& other) {
        if (toplevel.pid != 0 || other.pid != 0) return toplevel.pid == other.pid;
        return !toplevel.appId.empty() && toplevel.appId == other.appId;
    };
    return closeRequests_.latestWithinGrace([&](WindowHandle asked) {
        const Entry* e = find(asked);
        return e != nullptr && sameProgram(e->current);
    });
}

void ToplevelTable::commit(WindowHandle window) {
    Entry* e = find(window);
    if (e == nullptr || (e->committed && e->current == e->waiting)) return;
    if (!e->committed) e->questionOf = askedJustBefore(e->waiting);
    e->current = e->waiting;
    e->committed = true;
    ++changes_;
}

void ToplevelTable::remove(WindowHandle window) {
    const auto it = entries_.find(window);
    if (it == entries_.end()) return;
    if (it->second.committed) ++changes_;
    handles_.erase(it->second.key);
    entries_.erase(it);
    closeRequests_.forget(window);
}

HandleList ToplevelTable::list(const std::function<bool(const Toplevel&)>& isOwn) const {
    HandleList list;
    list.reserve(entries_.size());
    for (const auto& [handle, entry] : entries_) {
        if (entry.committed && !isOwn(entry.current)) list.push_back(handle);
    }
    return list;
}

std::string ToplevelTable::title(WindowHandle window, int maxCharacters) const {
    const Entry* e = find(window);
    if (e == nullptr || maxCharacters <= 0) return {};
    return x11::firstCodePoints(e->current.title, maxCharacters);
}

std::optional<ToplevelTable::Key> ToplevelTable::askToClose(WindowHandle window) {
    const Entry* e = find(window);
    if (e == nullptr || !e->committed) return std::nullopt;  // gone, or not shown yet
    closeRequests_.asked(window);
    return e->key;
}

WindowHandle ToplevelTable::owner(const Entry& entry) const {
    const WindowHandle owner = entry.current.parent != 0 ? entry.current.parent : entry.questionOf;
    return find(owner) != nullptr ? owner : 0;
}

bool ToplevelTable::hasChild(WindowHandle window) const {
    return std::ranges::any_of(entries_, [&](const auto& t) { return t.second.committed && owner(t.second) == window; });
}

bool ToplevelTable::closePending(WindowHandle window) {
    return closeRequests_.pending(window, [&] { return hasChild(window); });
}

WindowHandle ToplevelTable::ownerOf(WindowHandle window) const {
    const Entry* e = find(window);
    return e != nullptr ? owner(*e) : 0;
}

}  // namespace tamberlyn
