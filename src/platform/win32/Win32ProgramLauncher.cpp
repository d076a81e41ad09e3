#include "platform/win32/Win32ProgramLauncher.h"

#include <shellapi.h>

#include <utility>

#include "platform/win32/Utf16.h"

namespace tamberlyn {

Win32ProgramLauncher::Win32ProgramLauncher(std::function<HWND()> owner) : owner_(std::move(owner)) {}

void Win32ProgramLauncher::startProgram(const std::string& name, const std::string& directory) {
    // Quoted, so a name is never split at a space into program and arguments.
    const std::wstring file = L"\"" + ToUtf16(name) + L"\"";
    ShellExecuteW(owner_ ? owner_() : nullptr, nullptr, file.c_str(), nullptr, ToUtf16(directory).c_str(),
                  SW_SHOWNORMAL);
}

void Win32ProgramLauncher::openWebPage(const std::string& address) {
    std::wstring commandLine = L"explorer \"" + ToUtf16(address) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line: it needs a buffer of its own.
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace tamberlyn
