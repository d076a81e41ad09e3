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
    ErrorTrap trap{reports_, "Form1", "Check6_Click"};
    // Stores the option, then makes or removes the entry; says why when that failed.
    const auto storeAndApply = [&](int label, const std::string& stored, const std::function<void()>& apply,
                                   const std::string& lead) {
        trap.step(label, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, stored); });
        std::string failure;
        trap.step(label + 2, [&] { failure = FailureOf(apply); });
        if (failure.empty()) return false;
        trap.step(label + 4, [&] {
            platform_.messages.show(lead + "\r\n\r\n" + failure, AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
        });
        return true;
    };
    if (Check6.value() == 1) {
        // Nothing will start the program: show and store the option as off.
        if (storeAndApply(100, kOn, [&] { EnableStartup(); }, platform_.texts.startupFailed)) {
            trap.step(106, [&] { Check6.setValue(0); });
        }
    } else if (storeAndApply(108, kOff, [&] { DisableStartup(); }, platform_.texts.startupRemains)) {
        // The program still starts at log-on: show and store the option as on, ticked
        // without its click, which would write a second entry beside the one left.
        trap.step(114, [&] { SetValueWithoutClick(Check6, 1); });
        trap.step(116, [&] { SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyWindowsStartup, kOn); });
    }
}

void Form1::Check8_Click() {
    ErrorTrap trap{reports_, "Form1", "Check8_Click"};
    trap.step(100, [&] {
        SaveSetting(platform_.settings, kApplicationName, kSectionName, kKeyMinimized, Check8.value() == 1 ? kOn : kOff);
    });
}

void Form1::EnableStartup() { platform_.logonEntry.add(); }

void Form1::DisableStartup() { platform_.logonEntry.remove(); }

}  // namespace tamberlyn
