// Which WinEvents does an out-of-context SetWinEventHook (hmod NULL, idProcess 0, idThread 0)
// deliver to the hooking thread's message loop, for top-level windows of this thread, of
// another thread of this process, and of another process? And how soon?
//
//   winevent-probe.exe [--burst N] [--only self|thread|process] [--no-hook]
//   winevent-probe.exe --actor [--burst N]     (internal: the other process's side)
//
// An actor creates a hidden window, shows it, retitles it with SetWindowTextW, hides it,
// shows it again and destroys it; creates a window with WS_VISIBLE, hides and retitles it and
// destroys it; raises SHOW, NAMECHANGE, HIDE and DESTROY by hand with NotifyWinEvent for a
// third window (a control, left out of the summary); then creates and shows N popups (default 200), retitles them and destroys them.
// Each step's QueryPerformanceCounter time is taken right before its call; the hook records
// when its callback runs. That counter is one monotonic clock for all processes.
// --no-hook runs the steps without a hook, to see what the steps cost by themselves.
//
// Build and run (a private prefix and Xvfb, torn down afterwards):
//   x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -static -municode
//       -o /tmp/probe/winevent-probe.exe bench/win32/winevent-probe.cpp
//   flock /tmp/bench.lock tests/windows/with-wine /tmp/probe/prefix /tmp/probe/winevent-probe.exe

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"TamberlynWinEventProbe";
constexpr int kPumpMs = 300;  // quiet time after each step, for late events

struct Step {
    std::string name;
    HWND hwnd;
    LONGLONG qpc;
    LONGLONG end;
    DWORD thread;
};

struct Event {
    DWORD event;
    HWND hwnd;
    LONG object;
    LONG child;
    DWORD eventThread;
    DWORD eventMs;
    DWORD callbackThread;
    LONGLONG qpc;
    bool duringCall;  // the callback ran inside a step's own API call
};

LONGLONG g_frequency = 1;
DWORD g_hookThread = 0;
std::vector<Event> g_events;
DWORD g_callingThread = 0;  // the hooking thread while it is inside one of its own steps

LONGLONG Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Ms(LONGLONG ticks) { return static_cast<double>(ticks) * 1000.0 / static_cast<double>(g_frequency); }

const char* EventName(DWORD event) {
    switch (event) {
        case EVENT_OBJECT_CREATE: return "CREATE";
        case EVENT_OBJECT_DESTROY: return "DESTROY";
        case EVENT_OBJECT_SHOW: return "SHOW";
        case EVENT_OBJECT_HIDE: return "HIDE";
        case EVENT_OBJECT_REORDER: return "REORDER";
        case EVENT_OBJECT_FOCUS: return "FOCUS";
        case EVENT_OBJECT_SELECTION: return "SELECTION";
        case EVENT_OBJECT_SELECTIONADD: return "SELECTIONADD";
        case EVENT_OBJECT_SELECTIONREMOVE: return "SELECTIONREMOVE";
        case EVENT_OBJECT_SELECTIONWITHIN: return "SELECTIONWITHIN";
        case EVENT_OBJECT_STATECHANGE: return "STATECHANGE";
        case EVENT_OBJECT_LOCATIONCHANGE: return "LOCATIONCHANGE";
        case EVENT_OBJECT_NAMECHANGE: return "NAMECHANGE";
        default: return "OTHER";
    }
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD eventThread,
                         DWORD eventMs) {
    g_events.push_back(
        Event{event, hwnd, object, child, eventThread, eventMs, GetCurrentThreadId(), Now(),
              g_callingThread == GetCurrentThreadId()});
}

void Pump(int ms) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

void RegisterProbeClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
}

// Without a window manager, Wine waits about 2 s for each hide or destroy of a visible window
// it hands to the WM (captioned or activated ones); the burst uses caption-less popups shown
// without activation, which it keeps to itself.
HWND MakeWindow(const wchar_t* title, bool visible, int at, bool popup = false) {
    const DWORD style = (popup ? WS_POPUP | WS_BORDER : WS_OVERLAPPEDWINDOW) | (visible ? WS_VISIBLE : 0);
    return CreateWindowExW(0, kClassName, title, style, 20 + at % 900, 20 + at % 700, 200, 80, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

using Emit = std::function<void(const Step&)>;

// One timed call: the time is taken before it, and events seen during it are marked.
template <class Call>
HWND Timed(const Emit& emit, const char* name, HWND hwnd, Call call) {
    const LONGLONG start = Now();
    const bool hookingThread = GetCurrentThreadId() == g_hookThread;
    if (hookingThread) g_callingThread = g_hookThread;
    const HWND result = call();
    if (hookingThread) g_callingThread = 0;
    emit(Step{name, hwnd ? hwnd : result, start, Now(), GetCurrentThreadId()});
    return result;
}

void RunActor(const Emit& emit, int burst) {
    RegisterProbeClass();
    const HWND a = Timed(emit, "create-hidden", nullptr, [] { return MakeWindow(L"Probe Alpha", false, 0); });
    Pump(kPumpMs);
    Timed(emit, "show", a, [&] { ShowWindow(a, SW_SHOWNOACTIVATE); return a; });
    Pump(kPumpMs);
    Timed(emit, "settext", a, [&] { SetWindowTextW(a, L"Probe Alpha Renamed"); return a; });
    Pump(kPumpMs);
    Timed(emit, "hide", a, [&] { ShowWindow(a, SW_HIDE); return a; });
    Pump(kPumpMs);
    Timed(emit, "show-again", a, [&] { ShowWindow(a, SW_SHOWNOACTIVATE); return a; });
    Pump(kPumpMs);
    Timed(emit, "destroy-visible", a, [&] { DestroyWindow(a); return a; });
    Pump(kPumpMs);
    const HWND b = Timed(emit, "create-visible", nullptr, [] { return MakeWindow(L"Probe Beta", true, 40); });
    Pump(kPumpMs);
    Timed(emit, "settext-hidden-window", b, [&] { ShowWindow(b, SW_HIDE); SetWindowTextW(b, L"Probe Beta 2"); return b; });
    Pump(kPumpMs);
    Timed(emit, "destroy-hidden", b, [&] { DestroyWindow(b); return b; });
    Pump(kPumpMs);
    // Control: the same kinds raised by hand, to tell "never raised" from "never delivered".
    const HWND c = MakeWindow(L"Probe Control", false, 80);
    Timed(emit, "control-NotifyWinEvent", c, [&] {
        for (DWORD kind : {EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_HIDE, EVENT_OBJECT_DESTROY})
            NotifyWinEvent(kind, c, OBJID_WINDOW, CHILDID_SELF);
        return c;
    });
    Pump(kPumpMs);
    DestroyWindow(c);

    std::vector<HWND> many;
    for (int i = 0; i < burst; ++i) {
        const std::wstring title = L"Probe Burst " + std::to_wstring(i);
        many.push_back(
            Timed(emit, "burst-create", nullptr, [&] { return MakeWindow(title.c_str(), false, i * 3, true); }));
        Timed(emit, "burst-show", many[i], [&] { ShowWindow(many[i], SW_SHOWNA); return many[i]; });
    }
    for (int i = 0; i < burst; ++i) {
        const std::wstring title = L"Probe Burst Renamed " + std::to_wstring(i);
        Timed(emit, "burst-settext", many[i], [&] { SetWindowTextW(many[i], title.c_str()); return many[i]; });
    }
    for (int i = 0; i < burst; ++i) {
        Timed(emit, "burst-destroy", many[i], [&] { DestroyWindow(many[i]); return many[i]; });
    }
    Pump(kPumpMs);
}

// ---- the other process -----------------------------------------------------------------

int ActorMain(int burst) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    RunActor(
        [&](const Step& step) {
            char line[160];
            const int length = std::snprintf(line, sizeof line, "%s %llx %lld %lld %lu\n", step.name.c_str(),
                                             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(step.hwnd)),
                                             step.qpc, step.end, step.thread);
            DWORD written = 0;
            WriteFile(out, line, static_cast<DWORD>(length), &written, nullptr);
        },
        burst);
    return 0;
}

std::vector<Step> ParseSteps(const std::string& text) {
    std::vector<Step> steps;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        char name[64];
        unsigned long long hwnd = 0;
        long long qpc = 0;
        long long done = 0;
        unsigned long thread = 0;
        if (std::sscanf(text.substr(at, end - at).c_str(), "%63s %llx %lld %lld %lu", name, &hwnd, &qpc, &done,
                        &thread) == 5) {
            steps.push_back(Step{name, reinterpret_cast<HWND>(static_cast<UINT_PTR>(hwnd)), qpc, done, thread});
        }
        at = end + 1;
    }
    return steps;
}

// Runs the actor as a child process while this thread keeps its message loop going.
std::vector<Step> RunOtherProcess(int burst) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --actor --burst " + std::to_wstring(burst);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start the actor process, error %lu\n", GetLastError());
        return {};
    }
    CloseHandle(writeEnd);

    struct Reader {
        HANDLE pipe;
        std::string text;
    } reader{readEnd, {}};
    const HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* context) -> DWORD {
            auto& r = *static_cast<Reader*>(context);
            char buffer[4096];
            DWORD read = 0;
            while (ReadFile(r.pipe, buffer, sizeof buffer, &read, nullptr) && read > 0) r.text.append(buffer, read);
            return 0;
        },
        &reader, 0, nullptr);
    // Keep dispatching while the actor works: out-of-context events arrive as messages.
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 60000, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (woke != WAIT_OBJECT_0 + 1) break;
    }
    Pump(1000);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("actor process id %lu\n", process.dwProcessId);
    return ParseSteps(reader.text);
}

// ---- report ------------------------------------------------------------------------------

void Report(const char* scenario, const std::vector<Step>& steps, std::size_t firstEvent) {
    std::printf("\n== %s ==\n", scenario);
    if (steps.empty()) {
        std::printf("no steps ran\n");
        return;
    }
    const std::vector<Event> events(g_events.begin() + static_cast<std::ptrdiff_t>(firstEvent), g_events.end());
    std::map<HWND, bool> ours;
    std::map<HWND, bool> control;
    for (const Step& s : steps) {
        ours[s.hwnd] = true;
        if (s.name.rfind("control-", 0) == 0) control[s.hwnd] = true;
    }

    // Single steps: every event on the step's window until the next step.
    std::printf("%-22s %-8s %8s  events on that window (ms from the call's start; * = inside the call)\n",
                "step", "hwnd", "call ms");
    std::size_t burstFrom = steps.size();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].name.rfind("burst-", 0) == 0) {
            burstFrom = i;
            break;
        }
    }
    for (std::size_t i = 0; i < burstFrom; ++i) {
        const Step& s = steps[i];
        const LONGLONG until = i + 1 < steps.size() ? steps[i + 1].qpc : LLONG_MAX;
        std::printf("%-22s %-8p %8.1f ", s.name.c_str(), static_cast<void*>(s.hwnd), Ms(s.end - s.qpc));
        int shown = 0;
        for (const Event& e : events) {
            if (e.hwnd != s.hwnd || e.qpc < s.qpc || e.qpc >= until) continue;
            std::printf(" %s(obj %ld child %ld)%s%.1f", EventName(e.event), e.object, e.child,
                        e.duringCall ? " *" : " ", Ms(e.qpc - s.qpc));
            if (e.eventThread != s.thread) std::printf("[thread %lu?]", e.eventThread);
            ++shown;
        }
        if (!shown) std::printf(" (none)");
        std::printf("\n");
    }

    // Burst: counts per kind on the burst windows, and when the last one came.
    if (burstFrom < steps.size()) {
        std::map<HWND, bool> burstWindows;
        std::map<std::string, std::pair<int, LONGLONG>> lastCall;  // step kind -> count, last start
        for (std::size_t i = burstFrom; i < steps.size(); ++i) {
            burstWindows[steps[i].hwnd] = true;
            auto& entry = lastCall[steps[i].name];
            ++entry.first;
            entry.second = std::max(entry.second, steps[i].end);
        }
        std::map<DWORD, std::pair<int, LONGLONG>> got;  // event -> count, last arrival
        for (const Event& e : events) {
            if (!burstWindows.count(e.hwnd) || e.qpc < steps[burstFrom].qpc) continue;
            auto& entry = got[e.event];
            ++entry.first;
            entry.second = std::max(entry.second, e.qpc);
        }
        const LONGLONG start = steps[burstFrom].qpc;
        std::printf("burst of %d windows (first call at 0 ms): calls ", lastCall["burst-create"].first);
        for (const auto& [name, entry] : lastCall)
            std::printf(" %s x%d, last done at %.1f ms;", name.c_str(), entry.first, Ms(entry.second - start));
        std::printf("\n  events on burst windows:");
        for (const auto& [event, entry] : got)
            std::printf(" %s x%d (last at %.1f ms);", EventName(event), entry.first, Ms(entry.second - start));
        if (got.empty()) std::printf(" (none)");
        std::printf("\n");
    }

    // The answer in one line: which of the five kinds came for this scenario's windows.
    std::printf("summary (OBJID_WINDOW, CHILDID_SELF, raised by the window calls themselves):");
    for (DWORD kind : {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_HIDE,
                       EVENT_OBJECT_DESTROY}) {
        int count = 0;
        for (const Event& e : events) {
            if (e.event == kind && ours.count(e.hwnd) && !control.count(e.hwnd) && e.object == OBJID_WINDOW &&
                e.child == CHILDID_SELF) {
                ++count;
            }
        }
        std::printf(" %s %s(%d)", EventName(kind), count ? "yes" : "NO", count);
    }
    std::printf("\n");

    // Anything else the hook saw during the scenario, counted by kind.
    std::map<std::string, int> others;
    for (const Event& e : events) {
        if (!ours.count(e.hwnd)) ++others[EventName(e.event)];
    }
    std::printf("events on other windows during this scenario:");
    for (const auto& [name, count] : others) std::printf(" %s x%d", name.c_str(), count);
    if (others.empty()) std::printf(" (none)");
    std::printf("\ncallbacks ran on thread(s):");
    std::map<DWORD, int> callbackThreads;
    for (const Event& e : events) ++callbackThreads[e.callbackThread];
    for (const auto& [thread, count] : callbackThreads) std::printf(" %lu x%d", thread, count);
    std::printf(" (hooking thread %lu)\n", GetCurrentThreadId());
}

void RunOnThisThread(int burst) {
    const std::size_t first = g_events.size();
    std::vector<Step> steps;
    RunActor([&](const Step& s) { steps.push_back(s); }, burst);
    Pump(1000);
    Report("windows of the hooking thread itself", steps, first);
}

// The hooking thread keeps its message loop going while a second thread acts.
void RunOnAnotherThread(int burst) {
    struct Shared {
        std::mutex lock;
        std::vector<Step> steps;
        int burst;
    } shared;
    shared.burst = burst;
    const std::size_t first = g_events.size();
    const HANDLE worker = CreateThread(
        nullptr, 0,
        [](void* context) -> DWORD {
            auto& s = *static_cast<Shared*>(context);
            RunActor(
                [&](const Step& step) {
                    std::lock_guard<std::mutex> hold(s.lock);
                    s.steps.push_back(step);
                },
                s.burst);
            return 0;
        },
        &shared, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 120000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) Pump(0);
    Pump(1000);
    CloseHandle(worker);
    Report("windows of another thread of this process", shared.steps, first);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_frequency = frequency.QuadPart;
    bool actor = false;
    bool hooked = true;
    std::wstring only;
    int burst = 200;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--actor") == 0) {
            actor = true;
        } else if (std::wcscmp(argv[i], L"--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else if (std::wcscmp(argv[i], L"--no-hook") == 0) {
            hooked = false;
        } else if (std::wcscmp(argv[i], L"--burst") == 0 && i + 1 < argc) {
            burst = std::max(0, static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
        } else {
            std::fprintf(stderr, "usage: winevent-probe.exe [--burst N] [--only self|thread|process] [--no-hook]\n");
            return 2;
        }
    }
    if (actor) return ActorMain(burst);

    setvbuf(stdout, nullptr, _IONBF, 0);
    g_hookThread = GetCurrentThreadId();
    // --no-hook shows what the steps cost without any hook, for comparison.
    const HWINEVENTHOOK hook = hooked ? SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                                        OnWinEvent, 0, 0, WINEVENT_OUTOFCONTEXT)
                                      : reinterpret_cast<HWINEVENTHOOK>(1);
    std::printf("SetWinEventHook(CREATE..NAMECHANGE, OUTOFCONTEXT, pid 0, tid 0) -> %p (error %lu), thread %lu\n",
                static_cast<void*>(hook), hook ? 0ul : GetLastError(), GetCurrentThreadId());
    if (!hook) return 1;

    if (only.empty() || only == L"self") RunOnThisThread(burst);
    if (only.empty() || only == L"thread") RunOnAnotherThread(burst);
    if (only.empty() || only == L"process") {
        const std::size_t first = g_events.size();
        Report("windows of another process", RunOtherProcess(burst), first);
    }

    if (hooked) UnhookWinEvent(hook);
    std::fflush(stdout);
    return 0;
}
