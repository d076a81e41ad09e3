#pragma once
// The shell's notification area and the hook that routes its messages, in memory.

#include <string>
#include <utility>
#include <vector>

#include "platform/NotifyIcon.h"
#include "platform/PlatformError.h"

namespace tamberlyn::fakes {

// One log of both, so tests can see the order of hook and shell calls.
struct TrayLog {
    std::vector<std::string> calls;
};

class FakeNotifyIcon : public NotifyIcon {
public:
    explicit FakeNotifyIcon(TrayLog& log) : log_(log) {}

    WindowHandle controlWindow() const override { return window; }
    void notify(NotifyOperation operation, const NotifyIconRecord& record) override {
        static const char* const names[] = {"add", "modify", "delete"};
        log_.calls.push_back(names[static_cast<int>(operation)]);
        sent.emplace_back(operation, record);
        if (operation == NotifyOperation::Add) iconShown = true;
        if (operation == NotifyOperation::Delete) iconShown = false;
    }
    bool trayAvailable() const override { return available; }

    const NotifyIconRecord& last() const { return sent.back().second; }
    // A notification area comes or goes, as the adapter reports it.
    void setAvailable(bool now) {
        available = now;
        if (trayChanged) trayChanged(now);
    }

    WindowHandle window = 77;
    bool available = true;
    bool iconShown = false;
    std::vector<std::pair<NotifyOperation, NotifyIconRecord>> sent;

private:
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
    // What the shell does on a click: a callback message, routed while the hook is in.
    void deliver(std::int32_t notification) {
        if (sink) sink->HandleTrayMessage(notification, 0);
    }

    WindowHandle installedOn = 0;
    TrayMessageSink* sink = nullptr;
    bool failInstall = false;

private:
    TrayLog& log_;
};

}  // namespace tamberlyn::fakes
