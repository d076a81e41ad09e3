#pragma once
// Top-level windows in memory: titles, owners, and every close request they receive.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/WindowServices.h"

namespace tamberlyn::fakes {

class FakeWindowServices : public WindowServices {
public:
    struct Window {
        WindowHandle handle;
        std::string title;
        WindowHandle owner = 0;
        bool desktopShell = false;
    };

    void open(WindowHandle handle, std::string title, WindowHandle owner = 0) {
        windows.push_back({handle, std::move(title), owner, false});
        ++changes;
    }
    void openShell(WindowHandle handle, std::string title) {
        windows.push_back({handle, std::move(title), 0, true});
        ++changes;
    }
    void vanish(WindowHandle handle) {
        windows.erase(std::remove_if(windows.begin(), windows.end(), [&](const Window& w) { return w.handle == handle; }),
                      windows.end());
        ++changes;
    }
    bool exists(WindowHandle handle) const { return find(handle) != nullptr; }
    int closeRequestsTo(WindowHandle handle) const {
        return static_cast<int>(std::count(closeRequests.begin(), closeRequests.end(), handle));
    }

    // Unless told to track changes, the fake reports a change at every question.
    std::uint64_t changeCount() override {
        if (!tracksChanges) ++changes;
        return changes;
    }
    void retitle(WindowHandle handle, std::string title) {
        for (Window& w : windows) {
            if (w.handle == handle) w.title = std::move(title);
        }
        ++changes;
    }

    HandleList topLevelWindows() override {
        ++enumerations;
        if (failEnumeration) throw PlatformError("enumeration failed");
        HandleList list;
        for (const Window& w : windows) list.push_back(w.handle);
        if (afterEnumeration) afterEnumeration();
        return list;
    }

    std::string readTitle(WindowHandle window, int maxCharacters) override {
        titleReads.push_back(window);
        const Window* w = find(window);
        if (!w) return {};
        // Characters, not bytes: never cut a UTF-8 sequence.
        std::size_t end = 0;
        for (int n = 0; end < w->title.size() && n < maxCharacters; ++n) {
            ++end;
            while (end < w->title.size() && (static_cast<unsigned char>(w->title[end]) & 0xC0) == 0x80) ++end;
        }
        return w->title.substr(0, end);
    }

    void requestClose(WindowHandle window) override {
        closeRequests.push_back(window);
        if (closesOnRequest && find(window)) {
            if (keepsPending.count(window)) {
                pending.insert(window);
            } else {
                vanish(window);
            }
        }
        if (onCloseRequest) onCloseRequest(window);
    }

    bool closePending(WindowHandle window) override { return pending.count(window) != 0; }

    WindowHandle ownerOf(WindowHandle window) override {
        const Window* w = find(window);
        return w ? w->owner : 0;
    }

    bool isDesktopShell(WindowHandle window) override {
        const Window* w = find(window);
        return w && w->desktopShell;
    }

    std::vector<Window> windows;
    std::vector<WindowHandle> closeRequests;
    std::vector<WindowHandle> titleReads;
    std::set<WindowHandle> pending;      // requests not answered yet
    std::set<WindowHandle> keepsPending;  // windows that ask a question instead of closing
    bool closesOnRequest = true;
    bool failEnumeration = false;
    bool tracksChanges = false;
    std::uint64_t changes = 0;
    int enumerations = 0;
    std::function<void()> afterEnumeration;
    std::function<void(WindowHandle)> onCloseRequest;

private:
    const Window* find(WindowHandle handle) const {
        for (const Window& w : windows) {
            if (w.handle == handle) return &w;
        }
        return nullptr;
    }
};

}  // namespace tamberlyn::fakes
