#include "platform/win32/Win32SkinEngine.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

#include "platform/PlatformError.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32ErrorText.h"
#include "platform/win32/Win32Handles.h"

namespace tamberlyn {

namespace {

constexpr UINT_PTR kSubclassId = 0x534B494E;  // "SKIN"
constexpr DWORD kCaptionColourAttribute = 35;  // DWMWA_CAPTION_COLOR, Windows 11

COLORREF Ref(const Rgb& colour) { return RGB(colour.red, colour.green, colour.blue); }

std::string ReadWholeFile(const std::string& path) {
    const HANDLE file = CreateFileW(ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw PlatformError(Win32ErrorText(GetLastError()));
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    BOOL ok = TRUE;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) text.append(buffer, read);
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (!ok) throw PlatformError(Win32ErrorText(code));
    return text;
}

enum class Part { Other, PushButton, CheckBox, GroupBox, List };

Part PartOf(HWND child) {
    wchar_t name[32] = L"";
    GetClassNameW(child, name, static_cast<int>(std::size(name)));
    if (CompareStringOrdinal(name, -1, WC_LISTVIEWW, -1, TRUE) == CSTR_EQUAL) return Part::List;
    if (CompareStringOrdinal(name, -1, WC_BUTTONW, -1, TRUE) != CSTR_EQUAL) return Part::Other;
    switch (GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return Part::PushButton;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return Part::CheckBox;
        case BS_GROUPBOX: return Part::GroupBox;
        default: return Part::Other;
    }
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
    std::vector<HWND> children;
    EnumChildWindows(
        hwnd,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

Win32SkinEngine::~Win32SkinEngine() {
    for (HWND hwnd : skinned_) {
        if (IsWindow(hwnd)) RemoveWindowSubclass(hwnd, SkinProc, kSubclassId);
    }
    for (const auto& [colour, brush] : brushes_) DeleteObject(brush);
}

void Win32SkinEngine::loadSkin(const std::string& path, const std::string& /*iniFileName*/) {
    skin_ = ParseSkin(ReadWholeFile(path));
    loaded_ = true;
}

HBRUSH Win32SkinEngine::brush(const Rgb& colour) {
    const COLORREF ref = Ref(colour);
    auto found = brushes_.find(ref);
    if (found == brushes_.end()) found = brushes_.emplace(ref, CreateSolidBrush(ref)).first;
    return found->second;
}

void Win32SkinEngine::applyWindow(WindowHandle window) {
    const HWND hwnd = HwndOf(window);
    if (!IsWindow(hwnd)) throw PlatformError(Win32ErrorText(ERROR_INVALID_WINDOW_HANDLE));
    if (!loaded_ || !colors_) return;

    if (std::find(skinned_.begin(), skinned_.end(), hwnd) == skinned_.end()) {
        if (!SetWindowSubclass(hwnd, SkinProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
            throw PlatformError(Win32ErrorText(GetLastError()));
        }
        skinned_.push_back(hwnd);
    }
    for (HWND child : ChildrenOf(hwnd)) {
        const Part part = PartOf(child);
        if (part == Part::List) {
            if (skin_.list) {
                ListView_SetBkColor(child, Ref(*skin_.list));
                ListView_SetTextBkColor(child, Ref(*skin_.list));
            }
            if (skin_.listText) ListView_SetTextColor(child, Ref(*skin_.listText));
        } else if ((part == Part::CheckBox || part == Part::GroupBox) && skin_.text) {
            // A themed caption ignores the text colour the parent hands it.
            SetWindowTheme(child, L"", L"");
        }
    }
    if ((options_ & kSkinApplyFrame) && skin_.window) {
        const COLORREF caption = Ref(*skin_.window);
        DwmSetWindowAttribute(hwnd, kCaptionColourAttribute, &caption, sizeof caption);  // before 11: no effect
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

LRESULT CALLBACK Win32SkinEngine::SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                           DWORD_PTR self) {
    return reinterpret_cast<Win32SkinEngine*>(self)->handle(hwnd, message, wParam, lParam);
}

LRESULT Win32SkinEngine::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            if (skin_.window) {
                RECT client;
                GetClientRect(hwnd, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, brush(*skin_.window));
                return 1;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            const Part part = PartOf(reinterpret_cast<HWND>(lParam));
            std::optional<Rgb> back = part == Part::GroupBox ? skin_.frame
                                      : part == Part::CheckBox ? skin_.checkBox
                                                               : std::optional<Rgb>{};
            // The corners around a push button show the window's surface.
            if (part == Part::PushButton) back = skin_.window;
            const LRESULT result = back ? reinterpret_cast<LRESULT>(brush(*back))
                                        : DefSubclassProc(hwnd, message, wParam, lParam);
            if (back) SetBkColor(dc, Ref(*back));
            if (skin_.text && (part == Part::GroupBox || part == Part::CheckBox)) SetTextColor(dc, Ref(*skin_.text));
            return result;
        }
        case WM_NOTIFY: {
            auto& header = *reinterpret_cast<NMHDR*>(lParam);
            if (header.code == NM_CUSTOMDRAW && (skin_.button || skin_.buttonText) &&
                PartOf(header.hwndFrom) == Part::PushButton) {
                return paintButton(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
            }
            break;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, SkinProc, kSubclassId);
            std::erase(skinned_, hwnd);
            break;
        default: break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Win32SkinEngine::paintButton(NMCUSTOMDRAW& draw) const {
    if (draw.dwDrawStage != CDDS_PREPAINT) return CDRF_DODEFAULT;
    const HDC dc = draw.hdc;
    RECT face = draw.rc;
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    const COLORREF faceColour = skin_.button ? Ref(*skin_.button) : GetSysColor(COLOR_BTNFACE);
    const HBRUSH faceBrush = CreateSolidBrush(faceColour);
    FillRect(dc, &face, faceBrush);
    DeleteObject(faceBrush);
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    wchar_t caption[256] = L"";
    GetWindowTextW(draw.hdr.hwndFrom, caption, static_cast<int>(std::size(caption)));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(draw.hdr.hwndFrom, WM_GETFONT, 0, 0));
    const HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, skin_.buttonText ? Ref(*skin_.buttonText) : GetSysColor(COLOR_BTNTEXT));
    if (pressed) OffsetRect(&face, 1, 1);
    DrawTextW(dc, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previousFont) SelectObject(dc, previousFont);
    if (draw.uItemState & CDIS_FOCUS) {
        InflateRect(&face, -2, -2);
        DrawFocusRect(dc, &face);
    }
    return CDRF_SKIPDEFAULT;
}

}  // namespace tamberlyn
