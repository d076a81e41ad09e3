// Minimizing hides the main window into the tray, as does a start with "Start in system tray"
// ticked; a click on the icon brings it back.

#include "form/TrayResidency.h"

#include "form/Form1.h"

namespace tamberlyn {

void Form1::Form_Resize() {
    if (window.state() != WindowState::Minimized || MinimizedToTray) return;
    // Without a notification area a hidden window could never come back: stay minimized.
    if (!platform_.notifyIcon.trayAvailable()) return;
    window.setVisible(false);
    window.setState(WindowState::Normal);
    MinimizedToTray = true;
    cSysTray1.ShowBalloon(kMinimizedBalloonText, kProductName, 5, true);
}

void Form1::StartInSystemTray() {
    if (!platform_.notifyIcon.trayAvailable() || !cSysTray1.iconPresent()) {
        window.setState(WindowState::Minimized);
        return;
    }
    window.setVisible(false);
    MinimizedToTray = true;
}

void Form1::cSysTray1_MouseUp(std::int16_t /*button*/, std::int32_t /*id*/) {
    window.setVisible(true);
    window.setFocus();
    MinimizedToTray = false;
}

void Form1::NotificationArea_Changed(bool available) {
    if (!available) {
        // The icon went with the notification area, and a window hidden there with it: it
        // waits minimized instead, where the desktop keeps minimized windows.
        if (!MinimizedToTray) return;
        window.setState(WindowState::Minimized);
        window.setVisible(true);
        MinimizedToTray = false;
        return;
    }
    // With a notification area again, a minimized window goes where minimizing puts it.
    Form_Resize();
}

void Form1::AnotherStart() {
    if (window.state() == WindowState::Minimized) window.setState(WindowState::Normal);
    window.setVisible(true);
    window.setFocus();
    MinimizedToTray = false;
}

}  // namespace tamberlyn
