#include "platform/win32/Win32MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/MirrorScope.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32SingleInstance.h"

namespace tamberlyn {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
constexpr UINT_PTR kTimer1 = 1;
constexpr int kFirstControlId = 1000;  // clear of IDOK and IDCANCEL, which Enter and Esc send
constexpr int kTwipsPerInch = 1440;
constexpr UINT_PTR kPushButtonSubclass = 0x44454642;  // "DEFB"
constexpr UINT kFormResizeMessage = WM_APP + 0x52;     // Form_Resize, once the size message has returned

COLORREF ColourRef(Colour colour) {
    if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return colour & 0xFFFFFFu;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

void SetTextIfDifferent(HWND hwnd, const std::string& utf8) {
    const std::wstring text = ToUtf16(utf8);
    if (WindowText(hwnd) != text) SetWindowTextW(hwnd, text.c_str());
}

HFONT CreateFontFor(const FontSpec& font, UINT dpi) {
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       ToUtf16(font.family).c_str());
}

}  // namespace

Win32MainWindow::Win32MainWindow(Form1& form, const Win32Desktop& desktop, HINSTANCE instance, int iconResource)
    : form_(form), desktop_(desktop) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExW(&windowClass);

    // At the origin, which is on the primary monitor: its DPI sizes the window, which then
    // moves to the middle of that monitor's work area.
    hwnd_ = CreateWindowExW(kWindowExStyle, kMainWindowClass, ToUtf16(form_.window.caption()).c_str(), kWindowStyle, 0,
                            0, 0, 0, nullptr, nullptr, instance, this);
    dpi_ = GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = USER_DEFAULT_SCREEN_DPI;
    // A later start runs without administrator rights even when this instance has them.
    ChangeWindowMessageFilterEx(hwnd_, AnotherStartMessage(), MSGFLT_ALLOW, nullptr);

    createControls(instance);
    createFonts();
    layout();
    placeWindow();

    form_.window.onChange = [this] { mirrorWindow(); };
    form_.window.focusRequested = [this] { focusWindow(); };
    form_.Timer1.onChange = [this] { mirrorTimer(); };
    for (std::size_t i = 0; i < children_.size(); ++i) {
        children_[i].entry->control->onChange = [this, i] { mirrorChild(children_[i]); };
    }
    mirrorWindow();
    for (Child& child : children_) mirrorChild(child);
    mirrorTimer();
    form_.window.setHandle(HandleOf(hwnd_));
}

Win32MainWindow::~Win32MainWindow() {
    form_.window.onChange = nullptr;
    form_.window.focusRequested = nullptr;
    form_.Timer1.onChange = nullptr;
    for (const Child& child : children_) child.entry->control->onChange = nullptr;
    for (HWND button : pushButtons_) RemoveWindowSubclass(button, PushButtonProc, kPushButtonSubclass);
    if (IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (toolTip_) DestroyWindow(toolTip_);
    DeleteObject(windowFont_);
    DeleteObject(buttonFont_);
    for (const auto& [colour, brush] : brushes_) {
        if (!(colour & 0x80000000u)) DeleteObject(brush);
    }
}

void Win32MainWindow::load(int showCommand) {
    form_.Form_Load();
    loaded_ = true;
    shown_ = true;
    if (form_.window.visible()) {
        const bool minimized = form_.window.state() == WindowState::Minimized;
        ShowWindow(hwnd_, minimized ? SW_SHOWMINNOACTIVE : showCommand);
        UpdateWindow(hwnd_);
    }
    if (anotherStartPending_) {
        anotherStartPending_ = false;
        form_.AnotherStart();
    }
}

// ---- Creation and layout ---------------------------------------------------------------

// Enter presses the default button unless another push button has the focus, as in a
// dialog box: IsDialogMessageW in the message loop asks the window with DM_GETDEFID.
void Win32MainWindow::addChild(const FormControl& entry, HINSTANCE instance) {
    const wchar_t* className = WC_BUTTONW;
    std::string text;
    DWORD style = WS_TABSTOP;
    DWORD exStyle = 0;
    switch (entry.kind) {
        case ControlKind::PushButton:
            text = entry.as<PushButton>().caption();
            style |= entry.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            break;
        case ControlKind::Frame:
            text = entry.as<Frame>().caption();
            style = BS_GROUPBOX;
            break;
        case ControlKind::TextBox:
            className = WC_EDITW;
            text = entry.as<TextBox>().text();
            style |= ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::ListView:
            className = WC_LISTVIEWW;
            style |= Win32WatchList::kStyle;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::CheckBox:
            // Not an automatic box: the form decides the value, the box shows it.
            text = entry.as<CheckBox>().caption();
            style |= BS_CHECKBOX;
            break;
    }
    Child child;
    child.entry = &entry;
    child.id = kFirstControlId + static_cast<int>(children_.size());
    child.hwnd = CreateWindowExW(exStyle, className, ToUtf16(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)), instance, nullptr);
    if (entry.kind == ControlKind::PushButton) {
        if (entry.defaultButton) addButton_ = child.hwnd;
        pushButtons_.push_back(child.hwnd);
        SetWindowSubclass(child.hwnd, PushButtonProc, kPushButtonSubclass, reinterpret_cast<DWORD_PTR>(this));
    } else if (entry.kind == ControlKind::ListView) {
        child.list = std::make_unique<Win32WatchList>(entry, child.hwnd, [this](int twips) { return pixels(twips); });
    }
    children_.push_back(std::move(child));
}

void Win32MainWindow::createControls(HINSTANCE instance) {
    // In the table's order, which is the tab order: for the dialog manager, tab order is
    // z-order, and a frame comes before the controls inside it, so it lies above them.
    children_.reserve(form_.controls().size());
    for (const FormControl& entry : form_.controls()) addChild(entry, instance);
    HWND after = HWND_TOP;
    for (const Child& child : children_) {
        SetWindowPos(child.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child.hwnd;
    }

    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
    for (const Child& child : children_) {
        if (child.entry->kind != ControlKind::ListView) continue;
        std::wstring tip = ToUtf16(child.entry->as<ListView>().toolTip());
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(child.hwnd);
        tool.lpszText = tip.data();
        SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

int Win32MainWindow::pixels(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), kTwipsPerInch); }

void Win32MainWindow::createFonts() {
    const HFONT oldWindowFont = windowFont_;
    const HFONT oldButtonFont = buttonFont_;
    windowFont_ = CreateFontFor(kWindowFont, dpi_);
    buttonFont_ = CreateFontFor(kButtonFont, dpi_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
    for (const Child& child : children_) {
        const bool button = child.entry->kind == ControlKind::PushButton;
        SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(button ? buttonFont_ : windowFont_), TRUE);
    }
    if (oldWindowFont) DeleteObject(oldWindowFont);
    if (oldButtonFont) DeleteObject(oldButtonFont);
}

void Win32MainWindow::layout() {
    for (Child& child : children_) {
        TwipsRect r = child.entry->control->rect();
        if (const Control* container = child.entry->control->container()) {
            r.left += container->rect().left;
            r.top += container->rect().top;
        }
        SetWindowPos(child.hwnd, nullptr, pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (child.list) child.list->rescale();
    }
}

void Win32MainWindow::placeWindow() {
    const TwipsRect client = form_.window.rect();
    RECT frame{0, 0, pixels(client.width), pixels(client.height)};
    AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = work.left + std::max(0L, (work.right - work.left - width) / 2);
    const int top = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Mirrors: the form's state onto the native controls --------------------------------

void Win32MainWindow::mirrorWindow() {
    const FormWindow& window = form_.window;
    SetTextIfDifferent(hwnd_, window.caption());
    if (window.icon().handle != shownIcon_) {
        shownIcon_ = window.icon().handle;
        const auto icon = reinterpret_cast<HICON>(static_cast<std::uintptr_t>(shownIcon_));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    if (window.backColour() != shownBackColour_) {
        shownBackColour_ = window.backColour();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (shown_) mirrorPresence();
}

void Win32MainWindow::mirrorPresence() {
    const FormWindow& window = form_.window;
    const bool visible = IsWindowVisible(hwnd_) != FALSE;
    if (!window.visible()) {
        if (visible) ShowWindow(hwnd_, SW_HIDE);
        // A hidden window keeps its minimized look until it is shown: showing it restores it.
    } else if (window.state() == WindowState::Minimized) {
        if (!visible || !IsIconic(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
    } else if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    } else if (!visible) {
        ShowWindow(hwnd_, SW_SHOW);
    }
}

void Win32MainWindow::mirrorChild(Child& child) {
    const FormControl& entry = *child.entry;
    switch (entry.kind) {
        case ControlKind::PushButton: SetTextIfDifferent(child.hwnd, entry.as<PushButton>().caption()); break;
        case ControlKind::TextBox: {
            MirrorScope scope(mirroring_);
            SetTextIfDifferent(child.hwnd, entry.as<TextBox>().text());
            break;
        }
        case ControlKind::CheckBox: {
            const WPARAM state = entry.as<CheckBox>().value() == 1 ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(SendMessageW(child.hwnd, BM_GETCHECK, 0, 0)) != state) {
                SendMessageW(child.hwnd, BM_SETCHECK, state, 0);
            }
            break;
        }
        case ControlKind::ListView: child.list->mirror(); break;
        case ControlKind::Frame: break;
    }
    const Control& control = *entry.control;
    if (control.backColour() != child.shownBackColour) {
        child.shownBackColour = control.backColour();
        if (entry.kind == ControlKind::ListView) {
            ListView_SetBkColor(child.hwnd, ColourRef(child.shownBackColour));
            ListView_SetTextBkColor(child.hwnd, ColourRef(child.shownBackColour));
        } else {
            // Frames and check boxes paint with their own back colour: a change needs a repaint.
            InvalidateRect(child.hwnd, nullptr, TRUE);
        }
    }
    const bool visible = (GetWindowLongPtrW(child.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (control.visible() != visible) ShowWindow(child.hwnd, control.visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32MainWindow::mirrorTimer() {
    const Timer& timer = form_.Timer1;
    if (timer.enabled() && !timerRunning_) {
        SetTimer(hwnd_, kTimer1, static_cast<UINT>(timer.interval()), nullptr);
    } else if (!timer.enabled() && timerRunning_) {
        KillTimer(hwnd_, kTimer1);
    }
    timerRunning_ = timer.enabled();
}

void Win32MainWindow::focusWindow() {
    // A message box the window waits on comes forward in its place.
    const HWND popup = GetLastActivePopup(hwnd_);
    if (popup && popup != hwnd_ && IsWindowVisible(popup)) {
        SetForegroundWindow(popup);
        return;
    }
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);  // WM_SETFOCUS passes it on to the control that had it
}

// ---- Events: the user's actions onto the form's handlers -------------------------------

const Win32MainWindow::Child* Win32MainWindow::childOf(HWND hwnd) const {
    for (const Child& child : children_) {
        if (child.hwnd == hwnd) return &child;
    }
    return nullptr;
}

void Win32MainWindow::command(int id, int code) {
    for (const Child& child : children_) {
        if (child.id != id) continue;
        const FormControl& entry = *child.entry;
        if (code == BN_CLICKED && entry.kind == ControlKind::CheckBox) {
            auto& box = entry.as<CheckBox>();
            box.setValue(1 - box.value());  // its click runs the form's handler
        } else if (code == BN_CLICKED && entry.kind == ControlKind::PushButton) {
            entry.click();
        } else if (code == EN_CHANGE && entry.kind == ControlKind::TextBox && mirroring_ == 0) {
            entry.as<TextBox>().setText(ToUtf8(WindowText(child.hwnd)));
        }
        return;
    }
}

LRESULT Win32MainWindow::notify(const NMHDR& header, LPARAM lParam) {
    const Child* child = childOf(header.hwndFrom);
    return child != nullptr && child->list ? child->list->notify(header, lParam) : 0;
}

HWND Win32MainWindow::defaultButton() const { return focusedButton_ ? focusedButton_ : addButton_; }

UINT Win32MainWindow::pushButtonStyle(HWND button, UINT style) const {
    return (style & ~BS_TYPEMASK) | (button == defaultButton() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void Win32MainWindow::showDefaultButton() {
    for (HWND button : pushButtons_) {
        const auto style = static_cast<UINT>(GetWindowLongW(button, GWL_STYLE));
        const UINT wanted = pushButtonStyle(button, style);
        if (wanted != style) SendMessageW(button, BM_SETSTYLE, wanted, TRUE);
    }
}

LRESULT CALLBACK Win32MainWindow::PushButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR self) {
    auto& view = *reinterpret_cast<Win32MainWindow*>(self);
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            if (message == WM_SETFOCUS) {
                view.focusedButton_ = hwnd;
            } else if (view.focusedButton_ == hwnd) {
                const auto next = reinterpret_cast<HWND>(wParam);
                const bool toButton = std::find(view.pushButtons_.begin(), view.pushButtons_.end(), next) !=
                                      view.pushButtons_.end();
                view.focusedButton_ = toButton ? next : nullptr;
            }
            view.showDefaultButton();
            return result;
        }
        case BM_SETSTYLE:
            // The dialog manager restyles buttons as the focus moves by Tab, and leaves none
            // the default when it lands elsewhere: the rule above decides.
            wParam = view.pushButtonStyle(hwnd, static_cast<UINT>(wParam));
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, PushButtonProc, kPushButtonSubclass);
            std::erase(view.pushButtons_, hwnd);
            break;
        default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

HCURSOR Win32MainWindow::currentCursor() const {
    if (form_.window.mousePointer() == kPointerCustom) {
        if (const HCURSOR loaded = desktop_.cursor(form_.window.mouseIcon())) return loaded;
        return LoadCursorW(nullptr, IDC_HAND);
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

bool Win32MainWindow::setCursor(HWND under, int hitTest, UINT mouseMessage) {
    // A control's own window or one inside it, such as the list's header.
    const Child* child = childOf(under);
    for (std::size_t i = 0; child == nullptr && i < children_.size(); ++i) {
        if (IsChild(children_[i].hwnd, under)) child = &children_[i];
    }
    if (mouseMessage == WM_MOUSEMOVE) {
        if (child != nullptr) {
            if (child->entry->mouseMove) child->entry->mouseMove();
        } else if (under == hwnd_) {
            form_.Surface_MouseMove();
        }
    }
    // The window's pointer shows over the window and its buttons; the list and the text box
    // keep their own.
    const bool overButton = child != nullptr && child->entry->kind == ControlKind::PushButton && child->hwnd == under;
    if (hitTest == HTCLIENT && (overButton || under == hwnd_)) {
        SetCursor(currentCursor());
        return true;
    }
    return false;
}

HBRUSH Win32MainWindow::brushFor(Colour colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end()) return found->second;
    const HBRUSH brush = (colour & 0x80000000u) ? GetSysColorBrush(static_cast<int>(colour & 0xFFu))
                                                : CreateSolidBrush(ColourRef(colour));
    brushes_.emplace(colour, brush);
    return brush;
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through user32's frames; the form reports its own failures.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& e) {
        OutputDebugStringW(ToUtf16(e.what()).c_str());
    } catch (...) {
        OutputDebugStringW(L"Tamberlyn: unknown failure in the main window");
    }
    return 0;
}

LRESULT Win32MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == AnotherStartMessage() && message != 0) {
        // The form's load sequence runs to its end before anything else changes the window.
        if (loaded_) {
            form_.AnotherStart();
        } else {
            anotherStartPending_ = true;
        }
        return kAnotherStartAnswer;
    }
    switch (message) {
        case WM_COMMAND: command(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_NOTIFY: return notify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        case DM_GETDEFID: return MAKELRESULT(GetDlgCtrlID(defaultButton()), DC_HASDEFID);
        case WM_TIMER:
            if (wParam == kTimer1) form_.Timer1_Timer();
            return 0;
        case WM_SIZE:
            if (!loaded_) break;
            if (wParam == SIZE_MINIMIZED) {
                form_.window.setState(WindowState::Minimized);
            } else if (wParam == SIZE_RESTORED) {
                form_.window.setState(WindowState::Normal);
            }
            // Not inside user32's minimize: the form may hide the window and wait for its balloon.
            PostMessageW(hwnd_, kFormResizeMessage, 0, 0);
            return 0;
        case kFormResizeMessage: form_.Form_Resize(); return 0;
        case WM_CLOSE: form_.Form_QueryUnload(); return 0;
        case WM_ENDSESSION:
            if (wParam) form_.Form_QueryUnload();
            return 0;
        case WM_SETCURSOR:
            if (setCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam))) return TRUE;
            break;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brushFor(form_.window.backColour()));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            const Child* child = childOf(reinterpret_cast<HWND>(lParam));
            const Colour colour = child ? child->entry->control->backColour() : form_.window.backColour();
            SetBkColor(reinterpret_cast<HDC>(wParam), ColourRef(colour));
            return reinterpret_cast<LRESULT>(brushFor(colour));
        }
        case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(brushFor(form_.window.backColour()));
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (IsChild(hwnd_, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS: {
            HWND target = lastFocus_ && IsWindowVisible(lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (target) SetFocus(target);
            return 0;
        }
        case WM_DPICHANGED: {
            dpi_ = HIWORD(wParam);
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            createFonts();
            layout();
            return 0;
        }
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace tamberlyn
