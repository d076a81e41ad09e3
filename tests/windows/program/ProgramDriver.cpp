#include "ProgramDriver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <utility>

namespace tamberlyn::programtest {

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quillmark\\Tamberlyn";
constexpr UINT kReplyTimeoutMs = 5000;

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c; ++c) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return wide;
}

// A Unix path as Wine's Z: drive shows it.
std::wstring DosPath(const std::wstring& unixPath) {
    if (unixPath.empty() || unixPath[0] != L'/') return unixPath;
    std::wstring path = L"Z:" + unixPath;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

bool ProcessExited(const PROCESS_INFORMATION& process) {
    return !process.hProcess || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
}

// Starts a process; the failure says what could not be started, and why.
::testing::AssertionResult StartProcess(const wchar_t* application, std::wstring commandLine, bool withoutOutput,
                                        PROCESS_INFORMATION& process, const char* failure) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (withoutOutput) startup.dwFlags = STARTF_USESTDHANDLES;  // all three null
    if (!CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return ::testing::AssertionFailure() << failure << ", error " << GetLastError();
    }
    return ::testing::AssertionSuccess();
}

void EndProcess(PROCESS_INFORMATION& process) {
    if (!process.hProcess) return;
    if (!ProcessExited(process)) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    process = {};
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM context) {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s.processId) s.found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Memory inside the program, for the list view messages that take pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* address() const { return address_; }
    template <class T>
    void write(const T& value, std::size_t offset = 0) const {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, &value, sizeof value, nullptr);
    }
    template <class T>
    T read(std::size_t offset = 0) const {
        T value{};
        ReadProcessMemory(process_, static_cast<char*>(address_) + offset, &value, sizeof value, nullptr);
        return value;
    }

private:
    HANDLE process_;
    void* address_;
};

LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

std::wstring PathFromEnvironment(const char* variable) {
    const char* path = std::getenv(variable);
    return path ? DosPath(Widen(path)) : std::wstring();
}

std::wstring ProgramPath() { return PathFromEnvironment("TAMBERLYN_EXE"); }

std::wstring CopyProgramTo(const std::wstring& folder) {
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\Tamberlyn.exe";
    CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE);
    return copy;
}

std::wstring SkinnedProgram(const std::wstring& folder, const char* skin) {
    const std::wstring exe = CopyProgramTo(folder);
    CreateDirectoryW((folder + L"\\x").c_str(), nullptr);
    const HANDLE file = CreateFileW((folder + L"\\x\\o.cjs").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, skin, static_cast<DWORD>(std::char_traits<char>::length(skin)), &written, nullptr);
    CloseHandle(file);
    return exe;
}

std::optional<std::wstring> RegistryText(HKEY root, const wchar_t* path, const wchar_t* name) {
    wchar_t data[2048];
    DWORD size = sizeof data;
    if (RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) return std::nullopt;
    return std::wstring(data);
}

std::optional<std::wstring> StoredSetting(const std::wstring& key) {
    return RegistryText(HKEY_CURRENT_USER, kSettingsKey, key.c_str());
}

void StoreSetting(const std::wstring& key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void StoreLogOnStartInTray() {
    StoreSetting(L"Listview", L"notepad||||||||---|||");
    StoreSetting(L"StartStopState", L"On");
    StoreSetting(L"Windows Startup", L"On");
    StoreSetting(L"Minimized", L"On");
}

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Quillmark"); }

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = L"";
    Ask(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

bool Visible(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

bool TrayIconPresent(HWND control) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = control;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void RemoveTrayIcon(HWND control) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = control;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

int ProcessCount(const std::wstring& exeName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, exeName.c_str(), -1, TRUE) == CSTR_EQUAL) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

bool Xdotool(const std::wstring& arguments) {
    std::wstring commandLine = L"/usr/bin/xdotool " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

namespace {

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

}  // namespace

Finished RunToEnd(const std::wstring& arguments, const std::wstring& program) {
    Finished finished;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        return finished;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    // Only the child holds the writing ends now: its end is the end of the output.
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        // Short answers, well within what a pipe holds before its writer waits.
        finished.ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(kDeadline.count())) == WAIT_OBJECT_0;
        GetExitCodeProcess(process.hProcess, &finished.exitCode);
        EndProcess(process);
        if (finished.ended) {
            finished.out = ReadAll(outRead);
            finished.err = ReadAll(errRead);
        }
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return finished;
}

ScreenDpi::ScreenDpi(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

ScreenDpi::~ScreenDpi() { RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels"); }

// ---- Program ---------------------------------------------------------------------------

Program::Program(std::wstring path) : path_(std::move(path)) {}

Program::~Program() {
    if (!ProcessExited(process_)) {
        close();
        WaitForSingleObject(process_.hProcess, 10000);
    }
    EndProcess(process_);
}

::testing::AssertionResult Program::start() {
    if (auto launched = launch(); !launched) return launched;
    return waitForWindow();
}

::testing::AssertionResult Program::launch(const std::wstring& arguments, Output output) {
    std::wstring commandLine = L"\"" + path_ + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    return StartProcess(path_.c_str(), std::move(commandLine), output == Output::None, process_,
                        "cannot start Tamberlyn.exe");
}

::testing::AssertionResult Program::launchCommandLine(std::wstring commandLine) {
    return StartProcess(nullptr, std::move(commandLine), false, process_, "cannot run the command line");
}

::testing::AssertionResult Program::waitForWindow() {
    const bool shown = WaitUntil([&] {
        for (HWND hwnd : topLevelWindows()) {
            if (ClassOf(hwnd) == L"TamberlynMainWindow" && Visible(hwnd) && TextOf(hwnd) == L"Tamberlyn") {
                window_ = hwnd;
                return true;
            }
        }
        return false;
    });
    if (!shown) return ::testing::AssertionFailure() << "the main window titled Tamberlyn never showed";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Program::waitForLoad() {
    const bool loaded = WaitUntil([&] {
        const HWND control = trayControl();
        if (!control || !TrayIconPresent(control)) return false;
        for (HWND hwnd : topLevelWindows()) {
            // Its thread answers once the load sequence is over.
            if (ClassOf(hwnd) == L"TamberlynMainWindow" && TextOf(hwnd) == L"Tamberlyn") {
                window_ = hwnd;
                return true;
            }
        }
        return false;
    });
    if (!loaded) return ::testing::AssertionFailure() << "no tray icon and main window titled Tamberlyn";
    return ::testing::AssertionSuccess();
}

bool Program::exited() const { return ProcessExited(process_); }

bool Program::waitForExit() const {
    return process_.hProcess &&
           WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kDeadline.count())) == WAIT_OBJECT_0;
}

DWORD Program::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Program::kill() {
    EndProcess(process_);
    window_ = nullptr;
}

bool Program::hasMainWindow() const {
    for (HWND hwnd : topLevelWindows()) {
        if (ClassOf(hwnd) == L"TamberlynMainWindow") return true;
    }
    return false;
}

std::vector<HWND> Program::topLevelWindows() const { return TopLevelWindowsOf(process_.dwProcessId); }

HWND Program::control(const std::wstring& className, const std::wstring& text) const {
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == className && TextOf(child) == text) return child;
    }
    return nullptr;
}

HWND Program::edit() const { return FindWindowExW(window_, nullptr, L"Edit", nullptr); }

HWND Program::list() const { return FindWindowExW(window_, nullptr, WC_LISTVIEWW, nullptr); }

HWND Program::trayControl() const {
    for (HWND hwnd : topLevelWindows()) {
        if (ClassOf(hwnd) == L"TamberlynTrayControl") return hwnd;
    }
    return nullptr;
}

HWND Program::messageBox() const {
    for (HWND hwnd : topLevelWindows()) {
        if (ClassOf(hwnd) == L"#32770" && Visible(hwnd)) return hwnd;
    }
    return nullptr;
}

std::wstring Program::MessageText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static") text += TextOf(child);
    }
    return text;
}

std::vector<std::wstring> Program::rows() const {
    const HWND view = list();
    const int count = static_cast<int>(Ask(view, LVM_GETITEMCOUNT, 0, 0));
    constexpr std::size_t kTextChars = 512;
    RemoteBuffer buffer(process_.hProcess, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.address()) + sizeof(LVITEMW));
    std::vector<std::wstring> rows;
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.pszText = remoteText;
        item.cchTextMax = kTextChars;
        buffer.write(item);
        const auto length = static_cast<std::size_t>(
            Ask(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.address())));
        std::wstring text(length, L'\0');
        ReadProcessMemory(process_.hProcess, remoteText, text.data(), length * sizeof(wchar_t), nullptr);
        rows.push_back(text);
    }
    return rows;
}

int Program::selectedRow() const {
    return static_cast<int>(Ask(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) + 1;
}

RECT Program::rowRect(int row) const {
    RemoteBuffer buffer(process_.hProcess, sizeof(RECT));
    RECT rect{};
    rect.left = LVIR_LABEL;
    buffer.write(rect);
    Ask(list(), LVM_GETITEMRECT, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(buffer.address()));
    rect = buffer.read<RECT>();
    MapWindowPoints(list(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Program::checked(HWND checkBox) const { return Ask(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Program::type(const std::wstring& text) const {
    for (wchar_t c : text) PostMessageW(edit(), WM_CHAR, c, 1);
}

void Program::pressKey(HWND target, UINT virtualKey) const {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30));
}

void Program::Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Program::answer(HWND box, int buttonId) const { Click(GetDlgItem(box, buttonId)); }

void Program::minimize() const { PostMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void Program::close() const {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

// ---- Notepad ---------------------------------------------------------------------------

Notepad::~Notepad() { EndProcess(process_); }

::testing::AssertionResult Notepad::start() {
    return StartProcess(nullptr, L"notepad.exe", false, process_, "cannot start notepad");
}

bool Notepad::showed() {
    return WaitUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(process_.dwProcessId)) {
            if (Visible(hwnd) && TextOf(hwnd) == L"Untitled - Notepad") return true;
        }
        return false;
    });
}

DWORD Notepad::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool Notepad::exited() const { return ProcessExited(process_); }

}  // namespace tamberlyn::programtest
