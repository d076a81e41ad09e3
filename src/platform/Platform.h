#pragma once
// Everything the portable core asks of the platform it runs on.

#include "platform/Desktop.h"
#include "platform/EventLoop.h"
#include "platform/LogonEntry.h"
#include "platform/MessageBoxes.h"
#include "platform/NotifyIcon.h"
#include "platform/ProgramFiles.h"
#include "platform/ProgramLauncher.h"
#include "platform/RandomSource.h"
#include "platform/SettingsStore.h"
#include "platform/SkinEngine.h"
#include "platform/TextCase.h"
#include "platform/WindowServices.h"

namespace tamberlyn {

// Some texts tell the user what to do on their desktop; they differ between Windows and
// Linux desktops.
enum class DesktopKind { Windows, X11, Wayland };

// Every interface is called on the GUI thread only. The program's entry point owns the
// adapters; the core borrows them through these references for as long as it runs.
struct Platform {
    DesktopKind kind;
    WindowServices& windows;
    TextCase& textCase;
    SettingsStore& settings;
    MessageBoxes& messages;
    EventLoop& events;
    LogonEntry& logonEntry;
    ProgramFiles& files;
    ProgramLauncher& launcher;
    SkinEngine& skin;
    NotifyIcon& notifyIcon;
    Desktop& desktop;
    RandomSource& random;
};

}  // namespace tamberlyn
