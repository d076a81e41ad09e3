#include "platform/linux/FallbackWindowServices.h"

#include <utility>

#include "platform/PlatformError.h"

namespace tamberlyn {

FallbackWindowServices::FallbackWindowServices(std::unique_ptr<EventDrivenWindowServices> native, Maker fallback)
    : fallback_(std::move(fallback)) {
    adopt(std::move(native));
}

void FallbackWindowServices::adopt(std::unique_ptr<EventDrivenWindowServices> services) {
    current_ = std::move(services);
    current_->onReconnect = [this] {
        if (onReconnect) onReconnect();
    };
}

template <typename Call>
auto FallbackWindowServices::guarded(Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const PlatformError& e) {
        if (fellBack_) throw;
        const std::string why = e.what();
        adopt(fallback_());  // throws when the X display is gone too: then nothing is left
        fellBack_ = true;
        if (onReconnect) onReconnect();  // a new descriptor to watch
        if (onFallback) onFallback(why);
        return call();
    }
}

int FallbackWindowServices::fileDescriptor() const { return current_->fileDescriptor(); }

bool FallbackWindowServices::processEvents() {
    return guarded([&] { return current_->processEvents(); });
}

std::uint64_t FallbackWindowServices::changeCount() {
    // The fallback counts on its own: never the number the native route had last.
    return guarded([&] { return current_->changeCount() * 2 + (fellBack_ ? 1 : 0); });
}

HandleList FallbackWindowServices::topLevelWindows() {
    return guarded([&] { return current_->topLevelWindows(); });
}

std::string FallbackWindowServices::readTitle(WindowHandle window, int maxCharacters) {
    return guarded([&] { return current_->readTitle(window, maxCharacters); });
}

void FallbackWindowServices::requestClose(WindowHandle window) {
    guarded([&] { current_->requestClose(window); });
}

bool FallbackWindowServices::closePending(WindowHandle window) {
    return guarded([&] { return current_->closePending(window); });
}

WindowHandle FallbackWindowServices::ownerOf(WindowHandle window) {
    return guarded([&] { return current_->ownerOf(window); });
}

bool FallbackWindowServices::isDesktopShell(WindowHandle window) {
    return guarded([&] { return current_->isDesktopShell(window); });
}

}  // namespace tamberlyn
