#include "form/Form1.h"

#include <algorithm>

#include "form/Appearance.h"
#include "form/TrayResidency.h"
#include "form/MonitoringSwitch.h"
#include "monitor/ScanCycle.h"
#include "common/ErrorTrap.h"
#include "common/ProgramFolder.h"
#include "common/Settings.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {

Form1::Form1(Platform& platform)
    : window("Form1", {0, 0, 8040, 6585}),
      PushButton2("PushButton2", kStartMonitoring, {120, 120, 7800, 405}, 3),
      Frame2("Frame2", "Enter full window name or some of the letters", {120, 600, 7800, 1335}, 8),
      Text1("Text1", {240, 300, 7335, 345}, 9, &Frame2),
      PushButton1("PushButton1", "Add To List Below", {240, 750, 7320, 405}, 10, &Frame2),
      ListView1("ListView1", {120, 2040, 7800, 2655}, 0, "Double-click item to remove it."),
      PushButton3("PushButton3", "Delete Selected", {120, 4790, 3840, 405}, 1),
      PushButton4("PushButton4", "Clear List", {4080, 4790, 3840, 405}, 2),
      PushButton5("PushButton5", "Help", {120, 5300, 3840, 405}, 4),
      PushButton6("PushButton6", "Load Sample/Example Titles", {4080, 5295, 3840, 405}, 11),
      Frame1("Frame1", "Startup Options", {120, 5760, 7800, 705}, 5),
      Check6("Check6", platform.texts.startupCheckBox, {240, 300, 3930, 255}, 7, &Frame1),
      Check8("Check8", "Start in system tray", {4320, 300, 2100, 255}, 6, &Frame1),
      Timer1(100),
      cSysTray1(platform.notifyIcon, platform.events),
      platform_(platform) {
    const auto run = [this](void (Form1::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    const auto pushButton = [&](PushButton& b, void (Form1::*handler)(), bool isDefault = false) {
        return FormControl{.control = &b,
                           .kind = ControlKind::PushButton,
                           .click = run(handler),
                           .mouseMove = run(&Form1::PushButton_MouseMove),
                           .defaultButton = isDefault};
    };
    const auto surface = [&](Control& c, ControlKind kind) {
        return FormControl{.control = &c, .kind = kind, .mouseMove = run(&Form1::Surface_MouseMove)};
    };
    controls_ = {
        pushButton(PushButton2, &Form1::PushButton2_Click),
        surface(Frame2, ControlKind::Frame),
        surface(Text1, ControlKind::TextBox),
        pushButton(PushButton1, &Form1::PushButton1_Click, true),  // Enter in Text1 adds what it holds
        FormControl{.control = &ListView1,
                    .kind = ControlKind::ListView,
                    .click = run(&Form1::ListView1_Click),
                    .doubleClick = run(&Form1::ListView1_DblClick),
                    .keyDown = [this](int keyCode, int shift) { ListView1_KeyDown(keyCode, shift); },
                    .mouseMove = run(&Form1::Surface_MouseMove)},
        pushButton(PushButton3, &Form1::PushButton3_Click),
        pushButton(PushButton4, &Form1::PushButton4_Click),
        pushButton(PushButton5, &Form1::PushButton5_Click),
        pushButton(PushButton6, &Form1::PushButton6_Click),
        surface(Frame1, ControlKind::Frame),
        // A check box's own mouse moves are none of the form's.
        FormControl{.control = &Check6, .kind = ControlKind::CheckBox, .click = run(&Form1::Check6_Click)},
        FormControl{.control = &Check8, .kind = ControlKind::CheckBox, .click = run(&Form1::Check8_Click)},
    };
    std::stable_sort(controls_.begin(), controls_.end(), [](const FormControl& a, const FormControl& b) {
        return a.control->tabIndex() < b.control->tabIndex();
    });
    for (const FormControl& entry : controls_) {
        if (entry.kind == ControlKind::CheckBox) entry.as<CheckBox>().click = entry.click;
    }
    cSysTray1.MouseUp = [this](std::int16_t button, std::int32_t id) { cSysTray1_MouseUp(button, id); };
    platform.notifyIcon.trayChanged = [this](bool available) { NotificationArea_Changed(available); };
    // What the window's stored form gives the tray control; it starts out of the tray.
    cSysTray1.setTrayIcon(platform.desktop.applicationIcon());
    cSysTray1.setTrayTip("Telnet Server");
}

Form1::~Form1() { platform_.notifyIcon.trayChanged = nullptr; }

void Form1::Form_Load() {
    ErrorTrap trap{reports_, "Form1", "Form_Load"};
    trap.step(100, [&] { ApplySkin(); });
    trap.step(102, [&] { Loading = true; });
    trap.step(106, [&] {
        window.setCaption(kProductName);
        window.setIcon(platform_.desktop.applicationIcon());
        SetAppTitle();
    });
    const std::string cursorFile = ProgramFolderFile(platform_.files, "\\HAND-M.CUR");
    if (trap.test(108, [&] { return FileExists(platform_.files, cursorFile); })) {
        trap.step(110, [&] { window.setMouseIcon(platform_.desktop.loadCursorFile(cursorFile)); });
    }
    trap.step(112, [&] { ListView1.addRows(LoadWatchList(platform_.settings)); });
    trap.step(114, [&] {
        platform_.random.seedFromClock();
        const int draw = static_cast<int>(platform_.random.nextFraction() * 100) + 1;
        if (draw == 7) platform_.launcher.openWebPage(kHomePage);
    });
    trap.step(132, [&] { ListView1.addColumnHeader(" Windows Titles To Monitor and Close"); });
    trap.step(134, [&] { ListView1.setColumnWidth(7000); });
    RestoreMonitoring({PushButton2, Timer1, ListView1.watchList()}, platform_.settings, trap);
    trap.step(150, [&] { cSysTray1.setTrayTip(kProductName); });
    trap.step(152, [&] { cSysTray1.setInTray(true); });
    trap.step(154, [&] { MainWindowHandle = window.handle(); });
    trap.step(156, [&] {
        const bool on = GetSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, kOff) == kOn;
        Check6.setValue(on ? 1 : 0);
    });
    trap.step(158, [&] {
        const bool on = GetSetting(platform_.settings, kApplicationName, kSectionName, kKeyMinimized, kOff) == kOn;
        Check8.setValue(on ? 1 : 0);
    });
    if (trap.test(160, [&] { return Check6.value() == 1; })) {
        trap.step(162, [&] { Check8.setVisible(true); });
    } else {
        trap.step(164, [&] { Check8.setValue(0); });
        trap.step(166, [&] { Check8.setVisible(false); });
    }
    // Monitoring stays as restored: the option says where the window starts, nothing more.
    if (trap.test(168, [&] { return Check8.value() == 1; })) {
        trap.step(170, [&] { StartInSystemTray(); });
    }
    trap.step(172, [&] { Loading = false; });
}

void Form1::Form_QueryUnload() {
    ErrorTrap trap{reports_, "Form1", "Form_QueryUnload"};
    trap.step(100, [&] { Timer1.setEnabled(false); });
    trap.step(102, [&] { cSysTray1.setInTray(false); });
    trap.step(104, [&] { platform_.events.processPendingEvents(); });
    trap.step(106, [&] { platform_.events.processPendingEvents(); });
    trap.step(108, [&] { platform_.desktop.endProcess(); });
}

void Form1::Timer1_Timer() {
    RunScanCycle(ListView1.watchList(), {platform_.windows, platform_.textCase, platform_.events, reports_,
                                         scanMemory_, "Form1", "Timer1_Timer", MainWindowHandle});
}

void Form1::Windows_Changed() {
    // A matching window is asked as soon as it shows, not at the next tick; the tick stays
    // as the safety net, and takes a change that comes while a cycle lets events run.
    if (Timer1.enabled() && !scanMemory_.running) Timer1_Timer();
}

void Form1::WindowReach_Changed(const std::string& notice) {
    ErrorTrap trap{reports_, "Form1", "WindowReach_Changed"};
    std::string told;
    trap.step(100, [&] { told = GetSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowReach); });
    if (told == notice) return;
    // Stored first: another start meanwhile does not tell it again.
    trap.step(102, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowReach, notice); });
    if (notice.empty()) return;
    trap.step(104, [&] { platform_.messages.show(notice, AppTitle, MessageButtons::Ok, MessageIcon::None); });
}

void Form1::PushButton2_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton2_Click"};
    StartStop({PushButton2, Timer1, ListView1.watchList()}, platform_.settings, platform_.messages, AppTitle, trap);
}

}  // namespace tamberlyn
