#pragma once
// Top-level windows through user32.

#include <cstdint>
#include <map>

#include "platform/WindowServices.h"

namespace tamberlyn {

struct CloseAnswers;

// Lives on the GUI thread: the answers to its close requests arrive through that
// thread's message pump.
class Win32WindowServices final : public WindowServices {
public:
    Win32WindowServices();
    ~Win32WindowServices() override;
    Win32WindowServices(const Win32WindowServices&) = delete;
    Win32WindowServices& operator=(const Win32WindowServices&) = delete;

    // Every question counts as a change: each tick enumerates and reads the titles.
    std::uint64_t changeCount() override { return ++changes_; }
    HandleList topLevelWindows() override;
    std::string readTitle(WindowHandle window, int maxCharacters) override;
    void requestClose(WindowHandle window) override;
    bool closePending(WindowHandle window) override;
    WindowHandle ownerOf(WindowHandle window) override;
    bool isDesktopShell(WindowHandle window) override;

private:
    friend struct CloseAnswers;

    void answered(WindowHandle window, std::uint64_t request);
    void forgetVanishedWindows();

    // Each window with an unanswered WM_CLOSE, and the number of that request: an answer
    // to an older request never clears a newer one to a window that reuses the handle.
    std::map<WindowHandle, std::uint64_t> pending_;
    std::uint64_t changes_ = 0;
};

}  // namespace tamberlyn
