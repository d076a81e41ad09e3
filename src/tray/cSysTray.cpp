#include "tray/cSysTray.h"

#include <limits>
#include <stdexcept>

#include "shell/Utf8.h"

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

NotifyIconRecord cSysTray::record(std::uint32_t flags) const {
    NotifyIconRecord r;
    r.hWnd = window_;
    r.uID = static_cast<std::uint32_t>(iconId_);
    r.uFlags = flags;
    return r;
}

void cSysTray::setInTray(bool show) {
    if (show == inTray_) return;
    if (show) {
        // The hook first: the shell may report on the icon as soon as it is added.
        hook_.install(window_, *this);
        AddIcon(window_, iconId_, tip_, icon_);
        iconPresent_ = true;
    } else if (iconPresent_) {
        RemoveIcon(window_, iconId_);
        hook_.remove(window_);
        iconPresent_ = false;
    }
    inTray_ = show;
}

void cSysTray::AddIcon(WindowHandle window, std::int32_t id, const std::string& tip, Picture icon) {
    NotifyIconRecord r = record(0);
    r.hWnd = window;
    r.uID = static_cast<std::uint32_t>(id);
    if (!icon.empty()) {
        r.hIcon = icon.handle;
        r.uFlags |= kNifIcon;
        icon_ = icon;
    }
    if (!tip.empty()) {
        r.szTip = fieldText(tip, kTipField);
        r.uFlags |= kNifTip;
        tip_ = tip;
    }
    r.uFlags |= kNifMessage;
    r.uCallbackMessage = kTrayCallbackMessage;
    shell_.notify(NotifyOperation::Add, r);
}

void cSysTray::RemoveIcon(WindowHandle window, std::int32_t id) {
    NotifyIconRecord r;
    r.hWnd = window;
    r.uID = static_cast<std::uint32_t>(id);
    shell_.notify(NotifyOperation::Delete, r);
}

void cSysTray::setTrayIcon(Picture icon) {
    if (icon.empty() || icon.type != PictureType::Icon) return;
    if (iconPresent_) {
        NotifyIconRecord r = record(kNifIcon);
        r.hIcon = icon.handle;
        shell_.notify(NotifyOperation::Modify, r);
    }
    icon_ = icon;
}

void cSysTray::setTrayTip(const std::string& tip) {
    if (iconPresent_) {
        NotifyIconRecord r = record(kNifTip);
        r.szTip = fieldText(tip, kTipField);
        shell_.notify(NotifyOperation::Modify, r);
    }
    tip_ = tip;
}

void cSysTray::ShowBalloon(const std::string& tip, const std::string& title, std::int32_t showTimer, bool showOnce) {
    if (showOnce && onceCount_ >= 1) return;

    NotifyIconRecord r = record(kNifInfo);
    r.szInfoTitle = fieldText(title, kInfoTitleField);
    r.szInfo = fieldText(tip, kInfoField);
    if (showTimer > 0) {
        if (showTimer > std::numeric_limits<std::int32_t>::max() / 1000) throw std::overflow_error("Overflow");
        r.uTimeout = static_cast<std::uint32_t>(showTimer * 1000);
    }
    shell_.notify(NotifyOperation::Modify, r);
    balloonShowing_ = true;
    if (showOnce) ++onceCount_;
    if (showTimer <= 0) return;

    const Clock::time_point deadline = events_.now() + std::chrono::seconds(showTimer);
    while (balloonShowing_ && events_.now() < deadline) events_.waitForEventsUntil(deadline);

    if (balloonShowing_) {
        r.szInfoTitle.clear();
        r.szInfo.clear();
        shell_.notify(NotifyOperation::Modify, r);
    }
}

void cSysTray::HandleTrayMessage(std::int32_t notification, std::int32_t iconId) {
    auto raise = [](auto& event, auto... args) {
        if (event) event(args...);
    };
    switch (notification) {
        case WM_MOUSEMOVE_CODE: raise(MouseMove, iconId); break;
        case WM_LBUTTONDOWN_CODE: raise(MouseDown, std::int16_t{1}, iconId); break;
        case WM_LBUTTONUP_CODE: raise(MouseUp, std::int16_t{1}, iconId); break;
        case WM_LBUTTONDBLCLK_CODE: raise(MouseDblClick, std::int16_t{1}, iconId); break;
        case WM_RBUTTONDOWN_CODE: raise(MouseDown, std::int16_t{2}, iconId); break;
        case WM_RBUTTONUP_CODE: raise(MouseUp, std::int16_t{2}, iconId); break;
        case WM_RBUTTONDBLCLK_CODE: raise(MouseDblClick, std::int16_t{2}, iconId); break;
        case NIN_BALLOONHIDE_CODE:
        case NIN_BALLOONTIMEOUT_CODE:
        case NIN_BALLOONUSERCLICK_CODE: balloonShowing_ = false; break;
        default: break;  // the balloon appearing, the middle button: nothing
    }
}

}  // namespace tamberlyn
