#pragma once
// The watch list's native list view. It holds no rows of its own (LVS_OWNERDATA): it asks for
// the text of each row it draws, from the form's list, and mirrors the form's column, row
// count and selection onto the control. Its notifications become the form's list events.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>

#include "form/Form1.h"

namespace tamberlyn {

class Win32WatchList {
public:
    // The styles the main window creates the list control with.
    static constexpr DWORD kStyle = LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

    // entry: the form's list; control: the list view shown for it, made with kStyle;
    // pixels: twips to pixels at the window's DPI of the moment.
    Win32WatchList(const FormControl& entry, HWND control, std::function<int(int twips)> pixels);
    Win32WatchList(const Win32WatchList&) = delete;
    Win32WatchList& operator=(const Win32WatchList&) = delete;

    // Changes only what differs from what the control shows.
    void mirror();
    // The window's DPI changed: the column's width in pixels changes with it.
    void rescale();
    // The answer to a WM_NOTIFY that the control sent.
    LRESULT notify(const NMHDR& header, LPARAM lParam);

private:
    void followSelection();

    const FormControl& entry_;
    ListView& list_;
    HWND hwnd_;
    std::function<int(int)> pixels_;

    // What the control shows now.
    int mirroring_ = 0;  // > 0 while the view itself changes the control
    std::uint64_t shownRowsRevision_ = 0;
    bool columnAdded_ = false;
    std::string shownHeader_;
    int shownColumnWidth_ = -1;
};

}  // namespace tamberlyn
