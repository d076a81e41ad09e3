#include "TestWindows.h"

#include <sstream>

#include "platform/win32/Win32Handles.h"

namespace tamberlyn::wintest {

HWND ToHwnd(WindowHandle window) { return tamberlyn::HwndOf(window); }

WindowHandle ToHandle(HWND hwnd) { return tamberlyn::HandleOf(hwnd); }

std::vector<WindowHandle> OwnedWindows(WindowHandle owner) {
    struct Search {
        HWND owner;
        std::vector<WindowHandle> found;
    } search{ToHwnd(owner), {}};
    EnumWindows(
        [](HWND hwnd, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (GetWindow(hwnd, GW_OWNER) == s.owner) s.found.push_back(ToHandle(hwnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(WindowHandle window) {
    wchar_t name[256] = L"";
    const int length = GetClassNameW(ToHwnd(window), name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring BesideThisProgram(const std::wstring& name) {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

TestWindows::~TestWindows() {
    if (process_.hProcess) {
        terminate();
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    if (!reportPath_.empty()) DeleteFileW(reportPath_.c_str());
}

::testing::AssertionResult TestWindows::start(const std::vector<WindowSpec>& windows) {
    wchar_t folder[MAX_PATH] = L"";
    wchar_t file[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    if (!GetTempFileNameW(folder, L"tbw", 0, file)) return ::testing::AssertionFailure() << "no temporary file";
    reportPath_ = file;

    const std::wstring program = BesideThisProgram(L"test_windows.exe");
    std::wstring commandLine = L"\"" + program + L"\" \"" + reportPath_ + L"\"";
    for (const WindowSpec& window : windows) commandLine += L" " + window.kind + L" \"" + window.title + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        return ::testing::AssertionFailure() << "cannot start test_windows.exe: error " << GetLastError();
    }

    std::vector<std::string> lines;
    const bool ready = WaitUntil([&] {
        lines = reportLines();
        return (!lines.empty() && lines.back() == "ready") || exited();
    });
    if (!ready || lines.empty() || lines.back() != "ready") {
        return ::testing::AssertionFailure() << "test_windows.exe did not make its windows";
    }
    for (const std::string& line : lines) {
        std::istringstream fields(line);
        std::string word;
        std::size_t index = 0;
        long long handle = 0;
        if (fields >> word >> index >> handle && word == "window") windows_.push_back(static_cast<WindowHandle>(handle));
    }
    if (windows_.size() != windows.size()) return ::testing::AssertionFailure() << "a window is missing";
    return ::testing::AssertionSuccess();
}

int TestWindows::events(const std::string& event, WindowHandle window) const {
    const std::string prefix = event + " " + std::to_string(window);
    int count = 0;
    for (const std::string& line : reportLines()) {
        if (line.compare(0, prefix.size(), prefix) == 0 && (line.size() == prefix.size() || line[prefix.size()] == ' '))
            ++count;
    }
    return count;
}

std::vector<int> TestWindows::answers(WindowHandle window) const {
    const std::string prefix = "answer " + std::to_string(window) + " ";
    std::vector<int> found;
    for (const std::string& line : reportLines()) {
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(std::stoi(line.substr(prefix.size())));
    }
    return found;
}

bool TestWindows::exited() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

void TestWindows::terminate() {
    if (!process_.hProcess || exited()) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kDeadline.count()));
}

std::vector<std::string> TestWindows::reportLines() const {
    std::string text;
    const HANDLE file = CreateFileW(reportPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
        CloseHandle(file);
    }
    std::vector<std::string> lines;
    std::istringstream stream(text);
    // Only whole lines: the program may be writing the last one right now.
    for (std::string line; std::getline(stream, line);) {
        if (!stream.eof()) lines.push_back(line);
    }
    return lines;
}

}  // namespace tamberlyn::wintest
