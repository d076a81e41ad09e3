// What one scan cycle costs in the core: matching every title against every fragment
// with the platform's real upper-casing. The windows are in memory, so this is the
// program's own share of a tick, without the window system's.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "monitor/ScanCycle.h"
#include "platform/qt/QtTextCase.h"
#include "shell/Utf8.h"

namespace {

using namespace tamberlyn;

class MemoryWindows final : public WindowServices {
public:
    explicit MemoryWindows(std::vector<std::string> titles) : titles_(std::move(titles)) {}
    void enumerateTopLevelWindows(EnumWindowsProc proc, HandleList& list) override {
        for (std::size_t i = 0; i < titles_.size(); ++i) proc(static_cast<WindowHandle>(i + 2), list);
    }
    std::string readTitle(WindowHandle window, int maxCharacters) override {
        return Utf8Prefix(titles_[static_cast<std::size_t>(window - 2)], static_cast<std::size_t>(maxCharacters));
    }
    void requestClose(WindowHandle) override { ++closes; }
    bool closePending(WindowHandle) override { return false; }
    WindowHandle ownerOf(WindowHandle) override { return 0; }
    bool isDesktopShell(WindowHandle) override { return false; }
    long closes = 0;

private:
    std::vector<std::string> titles_;
};

class NoEvents final : public EventLoop {
public:
    void processPendingEvents() override {}
    void waitForEventsUntil(Clock::time_point) override {}
    Clock::time_point now() const override { return Clock::now(); }
};

class NoBoxes final : public MessageBoxes {
public:
    MessageResult show(const std::string&, const std::string&, MessageButtons, MessageIcon) override {
        return MessageResult::Ok;
    }
};

// Titles like a desktop's: none matches, so every fragment is tried on every window.
std::vector<std::string> titles(long count, bool accented) {
    std::vector<std::string> result;
    for (long i = 0; i < count; ++i) {
        result.push_back((accented ? "Élément de présentation n°" : "Untitled document number ") + std::to_string(i) +
                         " - Some Editor Application With A Long Name");
    }
    return result;
}

void ScanCycle(benchmark::State& state) {
    const long windowCount = state.range(0);
    const long fragmentCount = state.range(1);
    const bool accented = state.range(2) != 0;
    MemoryWindows windows(titles(windowCount, accented));
    QtTextCase textCase;
    NoEvents events;
    NoBoxes boxes;
    ListView list("ListView1", {}, 0, "");
    for (long i = 0; i < fragmentCount; ++i) list.add("nag screen " + std::to_string(i));
    for (auto _ : state) RunScanCycle(list, {windows, textCase, events, boxes});
    state.counters["windows"] = static_cast<double>(windowCount);
    state.counters["per_window_ns"] = benchmark::Counter(static_cast<double>(windowCount),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
    if (windows.closes != 0) state.SkipWithError("a title matched");
}

// A desktop (50 windows), a busy one (500); 1 and 20 fragments; plain and accented titles.
BENCHMARK(ScanCycle)->ArgsProduct({{50, 500}, {1, 20}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
