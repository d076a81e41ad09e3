#include "platform/win32/Win32WatchList.h"

#include <algorithm>
#include <utility>

#include "platform/MirrorScope.h"
#include "platform/win32/Utf16.h"

namespace tamberlyn {

namespace {

// The text of the row at a 0-based index; nothing for an index the list no longer has.
const std::string& RowText(const ListView& list, int index) {
    static const std::string none;
    return index >= 0 && index < list.count() ? list.rows()[static_cast<std::size_t>(index)] : none;
}

// The first row from start on (then from the top, with LVFI_WRAP) whose text is the wanted
// one or, with LVFI_PARTIAL, starts with it, letter case aside; -1 for none.
LRESULT FindRow(const ListView& list, const LVFINDINFOW& wanted, int start) {
    if (!(wanted.flags & (LVFI_STRING | LVFI_PARTIAL)) || wanted.psz == nullptr) return -1;
    const int wantedLength = lstrlenW(wanted.psz);
    const bool prefix = (wanted.flags & LVFI_PARTIAL) != 0;
    const int count = list.count();
    if (count == 0) return -1;
    start = std::clamp(start, 0, count);
    const int end = (wanted.flags & LVFI_WRAP) ? start + count : count;
    for (int n = start; n < end; ++n) {
        const int index = n % count;
        const std::wstring text = ToUtf16(list.rows()[static_cast<std::size_t>(index)]);
        const int length = prefix ? std::min(static_cast<int>(text.size()), wantedLength) : static_cast<int>(text.size());
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length, wanted.psz, wantedLength) ==
            CSTR_EQUAL) {
            return index;
        }
    }
    return -1;
}

int ShiftMask() {
    int mask = 0;
    if (GetKeyState(VK_SHIFT) < 0) mask |= 1;
    if (GetKeyState(VK_CONTROL) < 0) mask |= 2;
    if (GetKeyState(VK_MENU) < 0) mask |= 4;
    return mask;
}

}  // namespace

Win32WatchList::Win32WatchList(const FormControl& entry, HWND control, std::function<int(int twips)> pixels)
    : entry_(entry), list_(entry.as<ListView>()), hwnd_(control), pixels_(std::move(pixels)) {}

void Win32WatchList::rescale() {
    if (!columnAdded_) return;
    shownColumnWidth_ = -1;
    mirror();
}

void Win32WatchList::mirror() {
    MirrorScope scope(mirroring_);

    if (!list_.columnHeader().empty() || list_.columnWidth() > 0) {
        std::wstring header = ToUtf16(list_.columnHeader());
        if (!columnAdded_) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = header.data();
            column.cx = pixels_(list_.columnWidth());
            ListView_InsertColumn(hwnd_, 0, &column);
            columnAdded_ = true;
            shownHeader_ = list_.columnHeader();
            shownColumnWidth_ = list_.columnWidth();
        }
        if (shownHeader_ != list_.columnHeader()) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = header.data();
            ListView_SetColumn(hwnd_, 0, &column);
            shownHeader_ = list_.columnHeader();
        }
        if (shownColumnWidth_ != list_.columnWidth()) {
            ListView_SetColumnWidth(hwnd_, 0, pixels_(list_.columnWidth()));
            shownColumnWidth_ = list_.columnWidth();
        }
    }

    // A change only tells the control how many rows there are now, so that the load, an edit
    // or Clear List costs the same whatever the list's length.
    if (list_.rowsRevision() != shownRowsRevision_) {
        ListView_SetItemCountEx(hwnd_, list_.count(), LVSICF_NOSCROLL);
        InvalidateRect(hwnd_, nullptr, TRUE);  // the rows below an edit moved up or down
        shownRowsRevision_ = list_.rowsRevision();
    }

    const int shownSelection = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) + 1;
    if (shownSelection != list_.selectedIndex()) {
        if (list_.selectedIndex() == 0) {
            ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
        } else {
            const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
            ListView_SetItemState(hwnd_, list_.selectedIndex() - 1, state, state);
        }
    }
}

void Win32WatchList::followSelection() {
    if (mirroring_ == 0) list_.select(ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED) + 1);
}

LRESULT Win32WatchList::notify(const NMHDR& header, LPARAM lParam) {
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
                const std::wstring text = ToUtf16(RowText(list_, item.iItem));
                const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
                std::copy_n(text.data(), length, item.pszText);
                item.pszText[length] = L'\0';
            }
            break;
        }
        case LVN_ODFINDITEMW: {
            // Typed letters move the selection to the next row that starts with them.
            const auto& find = *reinterpret_cast<const NMLVFINDITEMW*>(lParam);
            return FindRow(list_, find.lvfi, find.iStart);
        }
        case LVN_ITEMCHANGED: {
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
                followSelection();
            }
            break;
        }
        case LVN_ODSTATECHANGED: {  // a range of rows at once
            const auto& change = *reinterpret_cast<const NMLVODSTATECHANGE*>(lParam);
            if ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) followSelection();
            break;
        }
        case NM_CLICK:
            if (entry_.click) entry_.click();
            break;
        case NM_DBLCLK:
            // On a row only: the second click may land below the rows, where the list keeps
            // the row that the first click selected.
            if (reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem >= 0 && entry_.doubleClick) entry_.doubleClick();
            break;
        case LVN_KEYDOWN:
            if (entry_.keyDown) entry_.keyDown(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey, ShiftMask());
            break;
        default: break;
    }
    return 0;
}

}  // namespace tamberlyn
