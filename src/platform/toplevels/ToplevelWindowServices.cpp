#include "platform/toplevels/ToplevelWindowServices.h"

#include <utility>

#include "platform/PlatformError.h"

namespace tamberlyn {

std::uint64_t ToplevelWindowServices::changeCount() {
    processEvents();
    return table_.changes();
}

HandleList ToplevelWindowServices::topLevelWindows() {
    processEvents();
    return table_.list([this](const Toplevel& t) { return isOwn(t); });
}

std::string ToplevelWindowServices::readTitle(WindowHandle window, int maxCharacters) {
    return table_.title(window, maxCharacters);
}

void ToplevelWindowServices::requestClose(WindowHandle window) {
    throwIfLost();
    const std::optional<ToplevelTable::Key> key = table_.askToClose(window);
    if (!key) return;  // gone, or not shown yet
    sendClose(*key);
    throwIfLost();
}

bool ToplevelWindowServices::closePending(WindowHandle window) { return table_.closePending(window); }
WindowHandle ToplevelWindowServices::ownerOf(WindowHandle window) { return table_.ownerOf(window); }
bool ToplevelWindowServices::isDesktopShell(WindowHandle) { return false; }

void ToplevelWindowServices::lose(std::string reason) {
    if (!lost_) lost_ = std::move(reason);
}

void ToplevelWindowServices::throwIfLost() const {
    if (lost_) throw PlatformError(*lost_);
}

}  // namespace tamberlyn
