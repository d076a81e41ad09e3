#pragma once
// Monitoring on and off: the button's caption, the timer and the stored state change together.

#include <string>

#include "platform/MessageBoxes.h"
#include "platform/SettingsStore.h"
#include "form/Controls.h"
#include "common/ErrorTrap.h"
#include "watchlist/WatchList.h"

namespace tamberlyn {

inline const std::string kStartMonitoring = "Start Monitoring";
inline const std::string kStopMonitoring = "Stop Monitoring";
inline const std::string kAddKeywordFirst = "Please add a keyword to monitor";

struct MonitoringControls {
    PushButton& button;
    Timer& timer;
    const WatchList& list;
};

// The Start/Stop button: the caption decides. Starting needs at least one fragment.
void StartStop(const MonitoringControls& controls, SettingsStore& settings, MessageBoxes& boxes,
               const std::string& appTitle, ErrorTrap& trap);

// Brings back the stored state at start-up; reports through the start-up's trap.
void RestoreMonitoring(const MonitoringControls& controls, SettingsStore& settings, ErrorTrap& trap);

}  // namespace tamberlyn
