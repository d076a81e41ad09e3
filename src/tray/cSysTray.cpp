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

cSysTray::cSysTray(NotifyIcon& shell, TrayMessageHook& hook, EventLoop& events)
    : shell_(shell), hook_(hook), events_(events), window_(shell.controlWindow()) {}

cSysTray::~cSysTray() {
    try {
        setInTray(false);
    } catch (...) {
        // The shell's answers are never looked at; nothing may leave a destructor.
    }
}

void cSysTray::setInTray(bool show) {
    if (show == inTray_) return;
    if (show) {
        // The hook first: the shell may report on the icon as soon as it is added.
        hook_.install(window_, *this);
        AddIcon(iconId_, tip_, icon_);
        iconPresent_ = true;
    } else if (iconPresent_) {
        RemoveIcon(iconId_);
        hook_.remove(window_);
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

void cSysTray::HandleTrayMessage(TrayEvent event, std::int32_t iconId) {
    auto raise = [](auto& handler, auto... args) {
        if (handler) handler(args...);
    };
    switch (event) {
        case TrayEvent::MouseMove: raise(MouseMove, iconId); break;
        case TrayEvent::LeftButtonDown: raise(MouseDown, std::int16_t{1}, iconId); break;
        case TrayEvent::LeftButtonUp: raise(MouseUp, std::int16_t{1}, iconId); break;
        case TrayEvent::LeftDoubleClick: raise(MouseDblClick, std::int16_t{1}, iconId); break;
        case TrayEvent::RightButtonDown: raise(MouseDown, std::int16_t{2}, iconId); break;
        case TrayEvent::RightButtonUp: raise(MouseUp, std::int16_t{2}, iconId); break;
        case TrayEvent::RightDoubleClick: raise(MouseDblClick, std::int16_t{2}, iconId); break;
        case TrayEvent::BalloonHidden:
        case TrayEvent::BalloonTimedOut:
        case TrayEvent::BalloonClicked: balloonShowing_ = false; break;
        case TrayEvent::MiddleButtonDown:
        case TrayEvent::MiddleButtonUp:
        case TrayEvent::MiddleDoubleClick:
        case TrayEvent::BalloonShown: break;  // nothing for the container
    }
}

}  // namespace tamberlyn
