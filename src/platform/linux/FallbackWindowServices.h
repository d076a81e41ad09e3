#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/EventDrivenWindowServices.h"

namespace tamberlyn {

// A native Wayland route that gives way to the X display's windows when the compositor
// withdraws what it needs (KWin does when the program's file is replaced by an upgrade):
// X11 programs stay in reach instead of nothing. It gives way once; a failure after that
// is the fallback's own and reaches the caller.
class FallbackWindowServices final : public EventDrivenWindowServices {
public:
    using Maker = std::function<std::unique_ptr<EventDrivenWindowServices>()>;

    FallbackWindowServices(std::unique_ptr<EventDrivenWindowServices> native, Maker fallback);

    // Called once, after the switch, with the native route's reason.
    std::function<void(const std::string& why)> onFallback;

    int fileDescriptor() const override;
    bool processEvents() override;
    std::uint64_t changeCount() override;
    HandleList topLevelWindows() override;
    std::string readTitle(WindowHandle window, int maxCharacters) override;
    void requestClose(WindowHandle window) override;
    bool closePending(WindowHandle window) override;
    WindowHandle ownerOf(WindowHandle window) override;
    bool isDesktopShell(WindowHandle window) override;

private:
    template <typename Call>
    auto guarded(Call call) -> decltype(call());
    void adopt(std::unique_ptr<EventDrivenWindowServices> services);

    std::unique_ptr<EventDrivenWindowServices> current_;
    Maker fallback_;
    bool fellBack_ = false;
};

}  // namespace tamberlyn
