#include "form/MonitoringSwitch.h"

#include "common/Settings.h"

namespace tamberlyn {

void StartStop(const MonitoringControls& controls, SettingsStore& settings, MessageBoxes& boxes,
               const std::string& appTitle, ErrorTrap& trap) {
    if (trap.test(100, [&] { return controls.button.caption() == kStartMonitoring; })) {
        if (trap.test(102, [&] { return controls.list.count() >= 1; })) {
            trap.step(104, [&] { controls.timer.setEnabled(true); });
            trap.step(106, [&] { controls.button.setCaption(kStopMonitoring); });
            trap.step(108, [&] { SaveSetting(settings, kApplicationName, kSectionName, kKeyStartStopState, kOn); });
        } else {
            trap.step(110, [&] { boxes.show(kAddKeywordFirst, appTitle, MessageButtons::Ok, MessageIcon::None); });
        }
    } else {
        trap.step(112, [&] { controls.timer.setEnabled(false); });
        trap.step(114, [&] { controls.button.setCaption(kStartMonitoring); });
        trap.step(116, [&] { SaveSetting(settings, kApplicationName, kSectionName, kKeyStartStopState, kOff); });
    }
}

void RestoreMonitoring(const MonitoringControls& controls, SettingsStore& settings, ErrorTrap& trap) {
    std::string state;
    trap.step(136, [&] { state = GetSetting(settings, kApplicationName, kSectionName, kKeyStartStopState, kOff); });
    if (trap.test(138, [&] { return state == kOff; })) {
        trap.step(140, [&] { controls.button.setCaption(kStartMonitoring); });
    } else if (trap.test(142, [&] { return state == kOn; })) {
        if (trap.test(144, [&] { return controls.list.count() >= 1; })) {
            trap.step(146, [&] { controls.timer.setEnabled(true); });
            trap.step(148, [&] { controls.button.setCaption(kStopMonitoring); });
        }
    }
}

}  // namespace tamberlyn
