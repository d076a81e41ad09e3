#pragma once
// The close requests sent to windows whose window system never says when they were dealt
// with (X11, the Wayland protocols, the GNOME Shell extension): one rule for them all. A
// request counts as pending within the grace, and past it while the window shows a question
// of its own; after that it is forgotten, so that a later cycle may ask again.

#include <chrono>
#include <functional>
#include <unordered_map>
#include <utility>

#include "platform/EventDrivenWindowServices.h"

namespace tamberlyn {

class CloseRequests {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

    explicit CloseRequests(TimeSource now) : now_(std::move(now)) {}

    void asked(WindowHandle window) { asked_[window] = now_(); }
    // At the window's end: nothing else answers a request.
    void forget(WindowHandle window) { asked_.erase(window); }
    void clear() { asked_.clear(); }

    // showsQuestion() is asked only once the grace is over.
    template <class ShowsQuestion>
    bool pending(WindowHandle window, ShowsQuestion showsQuestion) {
        const auto request = asked_.find(window);
        if (request == asked_.end()) return false;
        if (withinGrace(request->second) || showsQuestion()) return true;
        asked_.erase(request);  // answered or cancelled
        return false;
    }

    // The window asked last of those within the grace that match(window); 0: none.
    template <class Match>
    WindowHandle latestWithinGrace(Match match) const {
        WindowHandle latest = 0;
        std::chrono::steady_clock::time_point latestWhen{};
        for (const auto& [window, when] : asked_) {
            if (withinGrace(when) && match(window) && (latest == 0 || when > latestWhen)) {
                latest = window;
                latestWhen = when;
            }
        }
        return latest;
    }

private:
    bool withinGrace(std::chrono::steady_clock::time_point when) const {
        return now_() - when < EventDrivenWindowServices::kCloseGrace;
    }

    TimeSource now_;
    std::unordered_map<WindowHandle, std::chrono::steady_clock::time_point> asked_;
};

}  // namespace tamberlyn
