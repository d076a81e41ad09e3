#pragma once
// One Tamberlyn per user session: a named mutex marks the running instance, and a later
// start asks that instance's main window to come forward instead of starting again.

#include <windows.h>

#include <chrono>
#include <string>

namespace tamberlyn {

// The message a later start sends to the running instance's main window.
UINT AnotherStartMessage();
// The main window's answer to it, so that a start knows it was heard.
inline constexpr LRESULT kAnotherStartAnswer = 0x54414D42;  // "TAMB"

class Win32SingleInstance {
public:
    enum class Start {
        First,       // this process is the one instance
        HandedOver,  // the running instance came forward; this process should end
        NoAnswer,    // an instance runs but its window never answered
    };

    Win32SingleInstance();
    ~Win32SingleInstance();  // releases the mutex, if this process took it
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

    // Takes the mutex, or hands over to the instance that holds it. An instance that is
    // still starting may not have its window yet: it is looked for until `patience` runs out.
    Start claim(std::chrono::milliseconds patience);

    // "Local\Quillmark.Tamberlyn.<the user's SID>".
    static std::wstring MutexName();

private:
    bool handOver(HWND window) const;

    std::wstring name_;
    HANDLE mutex_ = nullptr;
    bool owned_ = false;
};

}  // namespace tamberlyn
