#pragma once
// The notification area, in memory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/NotifyIcon.h"
#include "platform/PlatformError.h"

namespace tamberlyn::fakes {

// One request to the tray: "add", "icon", "tip", "balloon" or "delete", with what it gave.
struct TrayRequest {
    std::string what;
    std::uint32_t id = 0;
    IconHandle icon = 0;
    std::optional<std::string> tip;
    std::string title;
    std::string text;
    std::uint32_t timeoutMs = 0;
};

class FakeNotifyIcon : public NotifyIcon {
public:
    bool trayAvailable() const override { return available; }
    void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) override {
        if (failAdd) throw PlatformError("The icon cannot be added");
        TrayRequest& r = record("add", id);
        r.icon = icon;
        r.tip = tip;
        iconShown = true;
    }
    void changeIcon(std::uint32_t id, IconHandle icon) override { record("icon", id).icon = icon; }
    void changeTip(std::uint32_t id, const std::string& tip) override { record("tip", id).tip = tip; }
    void showBalloon(std::uint32_t id, const std::string& title, const std::string& text,
                     std::uint32_t timeoutMs) override {
        TrayRequest& r = record("balloon", id);
        r.title = title;
        r.text = text;
        r.timeoutMs = timeoutMs;
    }
    void deleteIcon(std::uint32_t id) override {
        record("delete", id);
        iconShown = false;
    }

    const TrayRequest& last() const { return sent.back(); }
    std::vector<std::string> calls() const {
        std::vector<std::string> what;
        for (const TrayRequest& r : sent) what.push_back(r.what);
        return what;
    }
    // A notification area comes or goes, as the adapter reports it.
    void setAvailable(bool now) {
        available = now;
        if (trayChanged) trayChanged(now);
    }

    // What the user does with the icon, as the adapter tells it.
    void deliver(TrayIntent intent) {
        if (intentArrived) intentArrived(intent, 0);
    }

    bool failAdd = false;
    bool available = true;
    bool iconShown = false;
    std::vector<TrayRequest> sent;

private:
    TrayRequest& record(const char* what, std::uint32_t id) {
        TrayRequest& r = sent.emplace_back();
        r.what = what;
        r.id = id;
        return r;
    }
};

}  // namespace tamberlyn::fakes
