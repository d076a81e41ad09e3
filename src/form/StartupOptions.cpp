// The two startup options: log on with the user, and start hidden in the tray.

#include <functional>
#include <string>
#include <utility>

#include "form/Appearance.h"
#include "form/Form1.h"
#include "platform/PlatformError.h"
#include "common/ErrorTrap.h"
#include "common/Settings.h"

namespace tamberlyn {

namespace {

void SetValueWithoutClick(CheckBox& box, int value) {
    struct Restore {
        CheckBox& box;
        std::function<void()> click;
        ~Restore() { box.click = std::move(click); }
    } restore{box, std::exchange(box.click, nullptr)};
    box.setValue(value);
}

// What the log-on entry's adapter said went wrong; empty when it did what was asked.
std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& e) {
        return e.what();
    }
    return {};
}

}  // namespace

void Form1::Check6_Click() {
    if (Loading) return;
    ErrorTrap trap{platform_.messages, "Form1", "Check6_Click"};
    if (Check6.value() == 1) {
        trap.step(100, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, kOn); });
        std::string failure;
        trap.step(102, [&] { failure = FailureOf([&] { EnableStartup(); }); });
        if (!failure.empty()) {
            // Nothing will start the program: say so, and show and store the option as off.
            trap.step(104, [&] {
                platform_.messages.show(platform_.texts.startupFailed + "\r\n\r\n" + failure, AppTitle, MessageButtons::Ok,
                                        MessageIcon::Exclamation);
            });
            trap.step(106, [&] { Check6.setValue(0); });
        }
    } else {
        trap.step(108, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, kOff); });
        std::string failure;
        trap.step(110, [&] { failure = FailureOf([&] { DisableStartup(); }); });
        if (!failure.empty()) {
            // The program still starts at log-on: say so, and show and store the option as on.
            trap.step(112, [&] {
                platform_.messages.show(platform_.texts.startupRemains + "\r\n\r\n" + failure, AppTitle, MessageButtons::Ok,
                                        MessageIcon::Exclamation);
            });
            // Ticked again without its click, which would write a second entry beside the one left.
            trap.step(114, [&] { SetValueWithoutClick(Check6, 1); });
            trap.step(116, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, kOn); });
        }
    }
}

void Form1::Check8_Click() {
    ErrorTrap trap{platform_.messages, "Form1", "Check8_Click"};
    trap.step(100, [&] {
        SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyMinimized, Check8.value() == 1 ? kOn : kOff);
    });
}

void Form1::EnableStartup() { platform_.logonEntry.add(); }

void Form1::DisableStartup() { platform_.logonEntry.remove(); }

}  // namespace tamberlyn
