#include "tray/cSysTray.h"

#include <limits>
#include <optional>
#include <stdexcept>

#include "common/Utf8.h"

namespace tamberlyn {

namespace {
// A text field keeps its terminator inside: longer text is cut.
std::string fieldText(const std::string& text, std::size_t fieldWidth) { return Utf8Prefix(text, fieldWidth - 1); }
}  // namespace

cSysTray::cSysTray(NotifyIcon& shell, EventLoop& events) : shell_(shell), events_(events) {
    // Set before any icon is added: the tray may report on it as soon as it is.
    shell_.intentArrived = [this](TrayIntent intent, std::int32_t iconId) { HandleTrayMessage(intent, iconId); };
}

cSysTray::~cSysTray() {
    try {
        setInTray(false);
    } catch (...) {
        // The shell's answers are never looked at; nothing may leave a destructor.
    }
    shell_.intentArrived = nullptr;
}

void cSysTray::setInTray(bool show) {
    if (show == inTray_) return;
    if (show) {
        AddIcon(iconId_, tip_, icon_);
        iconPresent_ = true;
    } else if (iconPresent_) {
        RemoveIcon(iconId_);
        iconPresent_ = false;
    }
    inTray_ = show;
}

void cSysTray::AddIcon(std::int32_t id, const std::string& tip, Picture icon) {
    const IconHandle picture = icon.empty() ? 0 : icon.handle;
    std::optional<std::string> shownTip;
    if (!tip.empty()) shownTip = fieldText(tip, kTipField);
    shell_.addIcon(static_cast<std::uint32_t>(id), picture, shownTip);
}

void cSysTray::RemoveIcon(std::int32_t id) { shell_.deleteIcon(static_cast<std::uint32_t>(id)); }

void cSysTray::setTrayIcon(Picture icon) {
    if (icon.empty() || icon.type != PictureType::Icon) return;
    if (iconPresent_) shell_.changeIcon(static_cast<std::uint32_t>(iconId_), icon.handle);
    icon_ = icon;
}

void cSysTray::setTrayTip(const std::string& tip) {
    if (iconPresent_) shell_.changeTip(static_cast<std::uint32_t>(iconId_), fieldText(tip, kTipField));
    tip_ = tip;
}

void cSysTray::ShowBalloon(const std::string& tip, const std::string& title, std::int32_t showTimer, bool showOnce) {
    if (showOnce && onceCount_ >= 1) return;

    const auto id = static_cast<std::uint32_t>(iconId_);
    std::uint32_t timeout = 0;
    if (showTimer > 0) {
        if (showTimer > std::numeric_limits<std::int32_t>::max() / 1000) throw std::overflow_error("Overflow");
        timeout = static_cast<std::uint32_t>(showTimer * 1000);
    }
    shell_.showBalloon(id, fieldText(title, kInfoTitleField), fieldText(tip, kInfoField), timeout);
    balloonShowing_ = true;
    if (showOnce) ++onceCount_;
    if (showTimer <= 0) return;

    const Clock::time_point deadline = events_.now() + std::chrono::seconds(showTimer);
    while (balloonShowing_ && events_.now() < deadline) events_.waitForEventsUntil(deadline);

    // Taken down with the time it was shown for, as it went up.
    if (balloonShowing_) shell_.showBalloon(id, std::string(), std::string(), timeout);
}

void cSysTray::HandleTrayMessage(TrayIntent intent, std::int32_t iconId) {
    // What a tray still reports on an icon it was told to delete is no longer heard.
    if (!iconPresent_) return;
    switch (intent) {
        case TrayIntent::Activated:
        case TrayIntent::ContextActivated: {
            const std::int16_t button = intent == TrayIntent::Activated ? 1 : 2;
            if (MouseUp) MouseUp(button, iconId);
            break;
        }
        case TrayIntent::BalloonClicked:
        case TrayIntent::BalloonGone: balloonShowing_ = false; break;
    }
}

}  // namespace tamberlyn
