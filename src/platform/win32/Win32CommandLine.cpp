#include "platform/win32/Win32CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/Utf16.h"

#ifndef TAMBERLYN_VERSION
#error "TAMBERLYN_VERSION is the project's version, given by the build"
#endif
#ifndef TAMBERLYN_COPYRIGHT
#error "TAMBERLYN_COPYRIGHT is the copyright line of LICENSE, given by the build"
#endif
#define TAMBERLYN_WIDEN2(text) L##text
#define TAMBERLYN_WIDEN(text) TAMBERLYN_WIDEN2(text)

namespace tamberlyn {

namespace {

constexpr wchar_t kVersion[] = TAMBERLYN_WIDEN(TAMBERLYN_VERSION);
constexpr wchar_t kCopyright[] = TAMBERLYN_WIDEN(TAMBERLYN_COPYRIGHT);

bool Usable(HANDLE stream) {
    return stream && stream != INVALID_HANDLE_VALUE && GetFileType(stream) != FILE_TYPE_UNKNOWN;
}

bool WriteTo(HANDLE stream, const std::wstring& lines) {
    DWORD mode = 0;
    if (GetConsoleMode(stream, &mode)) {
        DWORD written = 0;
        return WriteConsoleW(stream, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) != FALSE;
    }
    // A file or a pipe takes UTF-8, as the tools that read it expect.
    const std::string bytes = ToUtf8(lines);
    DWORD written = 0;
    return WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// A GUI program gets no console of its own: it borrows the one it was started from, if any.
bool WriteToParentConsole(const std::wstring& lines) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return false;
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    // The shell has already shown its prompt again: start on a line of our own.
    const bool written = WriteTo(console, L"\r\n" + lines);
    CloseHandle(console);
    return written;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& arguments) {
    // Every argument must be understood; then the first request wins.
    CommandLineRequest request;
    for (const std::wstring& argument : arguments) {
        CommandLineRequest::Kind kind;
        if (argument == L"--help" || argument == L"/?") {
            kind = CommandLineRequest::Kind::Help;
        } else if (argument == L"--version") {
            kind = CommandLineRequest::Kind::Version;
        } else {
            return {CommandLineRequest::Kind::Unknown, argument};
        }
        if (request.kind == CommandLineRequest::Kind::Run) request.kind = kind;
    }
    return request;
}

std::vector<std::wstring> ProcessArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!split) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(split[i]);
    LocalFree(split);
    return arguments;
}

std::wstring VersionText() {
    return std::wstring(L"Tamberlyn ") + kVersion + L"\r\n" + kCopyright +
           L"\r\n"
           L"MIT License: free to use, change and share, with no warranty.";
}

std::wstring HelpText() {
    return VersionText() +
           L"\r\n"
           L"Closes the windows whose titles contain the words in its list, while monitoring is on.\r\n"
           L"\r\n"
           L"Usage: Tamberlyn [--help | --version]\r\n"
           L"  --help, /?   show this help and exit\r\n"
           L"  --version    show the version and exit\r\n"
           L"\r\n"
           L"Without options it opens its window, or brings forward the Tamberlyn already running.";
}

std::wstring UnknownOptionText(const std::wstring& argument) {
    return L"Tamberlyn: unknown option '" + argument + L"'; try Tamberlyn --help";
}

bool Tell(const std::wstring& lines, Output output) {
    const std::wstring terminated = lines + L"\r\n";
    // Given an output, the answer goes there or nowhere: a box would not reach a script.
    const HANDLE stream = GetStdHandle(output == Output::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (Usable(stream)) return WriteTo(stream, terminated);
    if (WriteToParentConsole(terminated)) return true;
    const UINT icon = output == Output::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    return MessageBoxW(nullptr, lines.c_str(), L"Tamberlyn", MB_OK | icon) != 0;
}

}  // namespace tamberlyn
