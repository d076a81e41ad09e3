#pragma once
// The notification area and the hook that routes its events, in memory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/NotifyIcon.h"
#include "platform/PlatformError.h"

namespace tamberlyn::fakes {

// One log of both, so tests can see the order of hook and tray calls.
struct TrayLog {
    std::vector<std::string> calls;
};

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
    explicit FakeNotifyIcon(TrayLog& log) : log_(log) {}

    WindowHandle controlWindow() const override { return window; }
    bool trayAvailable() const override { return available; }
    void addIcon(std::uint32_t id, IconHandle icon, const std::optional<std::string>& tip) override {
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
    // A notification area comes or goes, as the adapter reports it.
    void setAvailable(bool now) {
        available = now;
        if (trayChanged) trayChanged(now);
    }

    WindowHandle window = 77;
    bool available = true;
    bool iconShown = false;
    std::vector<TrayRequest> sent;

private:
    TrayRequest& record(const char* what, std::uint32_t id) {
        log_.calls.push_back(what);
        TrayRequest& r = sent.emplace_back();
        r.what = what;
        r.id = id;
        return r;
    }

    TrayLog& log_;
};

class FakeTrayHook : public TrayMessageHook {
public:
    explicit FakeTrayHook(TrayLog& log) : log_(log) {}

    void install(WindowHandle window, TrayMessageSink& instance) override {
        if (failInstall) throw PlatformError("The window cannot be subclassed");
        log_.calls.push_back("install");
        installedOn = window;
        sink = &instance;
    }
    void remove(WindowHandle /*window*/) override {
        log_.calls.push_back("remove");
        sink = nullptr;
    }
    // What the tray reports on a click, routed while the hook is in.
    void deliver(TrayEvent event) {
        if (sink) sink->HandleTrayMessage(event, 0);
    }

    WindowHandle installedOn = 0;
    TrayMessageSink* sink = nullptr;
    bool failInstall = false;

private:
    TrayLog& log_;
};

}  // namespace tamberlyn::fakes
