// What one scan cycle costs in the core: matching every title against every fragment
// with the platform's real upper-casing. The windows are in memory, so this is the
// program's own share of a tick, without the window system's.
//
// Three kinds of tick: nothing changed (an idle desktop under X11, whose services say so);
// something changed but the titles are the ones seen before (every tick on Windows, which
// cannot tell); every title new (the worst case: each is upper-cased and matched afresh).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "monitor/ScanCycle.h"
#include "platform/qt/QtTextCase.h"
#include "common/Utf8.h"

namespace {

using namespace tamberlyn;

enum class Tick { Unchanged, SameTitles, NewTitles };

class MemoryWindows final : public WindowServices {
public:
    MemoryWindows(std::vector<std::string> titles, Tick tick) : titles_(std::move(titles)), tick_(tick) {}
    std::uint64_t changeCount() override {
        if (tick_ == Tick::Unchanged) return 1;
        ++changes_;
        return changes_;
    }
    HandleList topLevelWindows() override {
        HandleList list;
        for (std::size_t i = 0; i < titles_.size(); ++i) list.push_back(static_cast<WindowHandle>(i + 2));
        return list;
    }
    std::string readTitle(WindowHandle window, int maxCharacters) override {
        std::string title = titles_[static_cast<std::size_t>(window - 2)];
        // A changing counter at the front keeps the title new for every tick.
        if (tick_ == Tick::NewTitles) title.insert(0, std::to_string(changes_) + " ");
        return Utf8Prefix(title, static_cast<std::size_t>(maxCharacters));
    }
    void requestClose(WindowHandle) override { ++closes; }
    bool closePending(WindowHandle) override { return false; }
    WindowHandle ownerOf(WindowHandle) override { return 0; }
    bool isDesktopShell(WindowHandle) override { return false; }
    long closes = 0;

private:
    std::vector<std::string> titles_;
    Tick tick_;
    std::uint64_t changes_ = 0;
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

void Scan(benchmark::State& state, Tick tick) {
    const long windowCount = state.range(0);
    const long fragmentCount = state.range(1);
    const bool accented = state.range(2) != 0;
    MemoryWindows windows(titles(windowCount, accented), tick);
    QtTextCase textCase;
    NoEvents events;
    NoBoxes boxes;
    ErrorReports reports{boxes};
    WatchList list;
    ScanMemory memory;
    for (long i = 0; i < fragmentCount; ++i) list.add("nag screen " + std::to_string(i));
    const ScanServices services{windows, textCase, events, reports, memory, "Form1", "Timer1_Timer"};
    RunScanCycle(list, services);  // the list is made ready once
    for (auto _ : state) RunScanCycle(list, services);
    state.counters["windows"] = static_cast<double>(windowCount);
    state.counters["per_window_ns"] = benchmark::Counter(static_cast<double>(windowCount),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
    if (windows.closes != 0) state.SkipWithError("a title matched");
}

void Unchanged(benchmark::State& state) { Scan(state, Tick::Unchanged); }
void SameTitles(benchmark::State& state) { Scan(state, Tick::SameTitles); }
void NewTitles(benchmark::State& state) { Scan(state, Tick::NewTitles); }

// A desktop (50 windows), a busy one (500), a crowded one (1,000); 1, 20 and 1,000
// fragments; plain and accented titles.
#define TAMBERLYN_SCAN_ARGS ArgsProduct({{50, 500, 1000}, {1, 20, 1000}, {0, 1}})->Unit(benchmark::kMicrosecond)
BENCHMARK(Unchanged)->TAMBERLYN_SCAN_ARGS;
BENCHMARK(SameTitles)->TAMBERLYN_SCAN_ARGS;
BENCHMARK(NewTitles)->TAMBERLYN_SCAN_ARGS;

}  // namespace

BENCHMARK_MAIN();
