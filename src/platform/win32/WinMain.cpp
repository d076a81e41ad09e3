// Tamberlyn for Windows: the adapters, the form and its native window, and the message loop.

#include "form/Form1.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32CommandLine.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32ProgramFiles.h"
#include "platform/win32/Win32ProgramLauncher.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SingleInstance.h"
#include "platform/win32/Win32SkinEngine.h"
#include "platform/win32/Win32TextCase.h"
#include "platform/win32/Win32WindowServices.h"
#include "platform/win32/WindowsTexts.h"
#include "platform/win32/resources/resource.h"
#include "common/ClockRandom.h"
#include "platform/win32/RegStuff.h"

#include <commctrl.h>

#include <chrono>
#include <exception>

using namespace tamberlyn;

namespace {

// How long a start waits for the window of an instance that is itself still starting.
constexpr std::chrono::milliseconds kHandOverPatience{10000};

constexpr int kExitUsage = 2;

int Run(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The adapters that own message boxes or start programs need the main window, which
    // exists only after the form that the adapters are given.
    HWND mainWindow = nullptr;
    auto owner = [&mainWindow] { return mainWindow; };

    Win32WindowServices windows;
    Win32TextCase textCase;
    RegistrySettingsStore settings;
    Win32MessageBoxes messages(owner);
    Win32EventLoop events(owner);
    Win32Registry registry;
    Win32ProgramFiles files;
    RunKeyLogonEntry logonEntry(registry, files);
    Win32ProgramLauncher launcher(owner);
    Win32SkinEngine skin;
    Win32NotifyIcon notifyIcon(instance);
    Win32Desktop desktop(instance, IDI_TAMBERLYN);
    notifyIcon.drawIconsWith([&desktop](IconHandle icon, UINT dpi) { return desktop.iconForDpi(icon, dpi); });
    ClockRandom random;
    Platform platform{kWindowsTexts, windows,  textCase, settings,   messages, events,  logonEntry,
                      files,         launcher, skin,     notifyIcon, desktop,  random};

    Form1 form(platform);
    Win32MainWindow view(form, desktop, instance, IDI_TAMBERLYN);
    mainWindow = view.hwnd();
    view.load(showCommand);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) Win32EventLoop::Dispatch(msg, mainWindow);
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const CommandLineRequest request = ParseCommandLine(ProcessArguments());
    switch (request.kind) {
        case CommandLineRequest::Kind::Help: return Tell(HelpText(), Output::Normal) ? 0 : 1;
        case CommandLineRequest::Kind::Version: return Tell(VersionText(), Output::Normal) ? 0 : 1;
        case CommandLineRequest::Kind::Unknown:
            Tell(UnknownOptionText(request.argument), Output::Error);
            return kExitUsage;
        case CommandLineRequest::Kind::Run: break;
    }

    // Before any window: a second instance would close windows and write settings twice.
    Win32SingleInstance single;
    switch (single.claim(kHandOverPatience)) {
        case Win32SingleInstance::Start::First: break;
        case Win32SingleInstance::Start::HandedOver: return 0;
        case Win32SingleInstance::Start::NoAnswer:
            Tell(L"Tamberlyn is already running but does not answer. End it in Task Manager, then start "
                 L"Tamberlyn again.",
                 Output::Error);
            return 1;
    }
    try {
        return Run(instance, showCommand);
    } catch (const std::exception& e) {
        // Only a start-up without the windows the program needs gets here.
        MessageBoxW(nullptr, ToUtf16(e.what()).c_str(), L"Tamberlyn", MB_OK | MB_ICONERROR);
        return 1;
    }
}
