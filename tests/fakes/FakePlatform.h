#pragma once
// Every platform service as an in-memory fake, bundled for the main window.

#include "FakeDesktopServices.h"
#include "FakeEventLoop.h"
#include "FakeMessageBoxes.h"
#include "FakeSettingsStore.h"
#include "FakeTray.h"
#include "FakeWindowServices.h"
#include "platform/Platform.h"
#include "platform/win32/WindowsTexts.h"

namespace tamberlyn::fakes {

template <class RealTextCase>
struct FakePlatform {
    FakePlatform()
        : platform{kWindowsTexts, windows,  textCase, settings,   messages, events,  logonEntry,
                   files,         launcher, skin,     notifyIcon, desktop,  random} {}

    FakeWindowServices windows;
    RealTextCase textCase;
    FakeSettingsStore settings;
    FakeMessageBoxes messages;
    FakeEventLoop events;
    FakeLogonEntry logonEntry;
    FakeProgramFiles files;
    FakeLauncher launcher;
    FakeSkinEngine skin;
    FakeNotifyIcon notifyIcon;
    FakeDesktop desktop;
    FakeRandom random;
    Platform platform;
};

}  // namespace tamberlyn::fakes
