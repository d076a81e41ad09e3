#include "platform/win32/Win32SingleInstance.h"

#include <sddl.h>

#include <memory>
#include <thread>

#include "platform/win32/Win32MainWindow.h"

namespace tamberlyn {

namespace {

// Long enough for a busy instance to answer, short of what the system calls hung.
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr std::chrono::milliseconds kRetryInterval{100};

std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::wstring sid;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<unsigned char[]>(size ? size : 1);
    if (size && GetTokenInformation(token, TokenUser, buffer.get(), size, &size)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
            sid = text;
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return sid;
}

}  // namespace

UINT AnotherStartMessage() {
    static const UINT message = RegisterWindowMessageW(L"Quillmark.Tamberlyn.AnotherStart");
    return message;
}

Win32SingleInstance::Win32SingleInstance() : name_(MutexName()) {}

Win32SingleInstance::~Win32SingleInstance() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
}

std::wstring Win32SingleInstance::MutexName() {
    const std::wstring sid = UserSid();
    // Every user of a session has a SID; without one the session is the best there is.
    return sid.empty() ? L"Local\\Quillmark.Tamberlyn" : L"Local\\Quillmark.Tamberlyn." + sid;
}

Win32SingleInstance::Start Win32SingleInstance::claim(std::chrono::milliseconds patience) {
    const auto end = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (!mutex_) {
            mutex_ = CreateMutexW(nullptr, FALSE, name_.c_str());
            // Refused access, the mutex exists: an instance with more rights (run as
            // administrator) made it. Any other failure leaves nothing to coordinate with,
            // and the program still works on its own.
            if (!mutex_ && GetLastError() != ERROR_ACCESS_DENIED) return Start::First;
        }
        if (mutex_) {
            // Abandoned: the instance that held it ended without letting go, and it is free.
            const DWORD wait = WaitForSingleObject(mutex_, 0);
            if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
                owned_ = true;
                return Start::First;
            }
        }
        const HWND window = FindWindowW(kMainWindowClass, nullptr);
        if (window && handOver(window)) return Start::HandedOver;
        if (std::chrono::steady_clock::now() >= end) return Start::NoAnswer;
        std::this_thread::sleep_for(kRetryInterval);
    }
}

bool Win32SingleInstance::handOver(HWND window) const {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // This start is what the user just did, so it may pass the right to come to the front on.
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, AnotherStartMessage(), 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) &&
           static_cast<LRESULT>(answer) == kAnotherStartAnswer;
}

}  // namespace tamberlyn
