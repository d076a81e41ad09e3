#pragma once
// Everything the portable core asks of the platform it runs on.

#include "platform/Desktop.h"
#include "platform/DesktopTexts.h"
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

// Every interface is called on the GUI thread only. The program's entry point owns the
// adapters; the core borrows them through these references for as long as it runs.
struct Platform {
    const DesktopTexts& texts;
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
