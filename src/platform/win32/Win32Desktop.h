#pragma once
// The program's icon, its custom pointer and the end of the process.

#include <windows.h>

#include <map>
#include <vector>

#include "platform/Desktop.h"

namespace tamberlyn {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop(HINSTANCE instance, int iconResource);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // At the small-icon size of the system's DPI.
    Picture applicationIcon() override;
    int loadCursorFile(const std::string& path) override;
    void endProcess() override;

    // The same picture drawn for a DPI: the application icon at that DPI's small-icon size
    // (16 px at 96, 24 at 144), any other icon as it is.
    IconHandle iconForDpi(IconHandle icon, UINT dpi);

    // A cursor loadCursorFile returned the id of; null for any other id.
    HCURSOR cursor(int id) const;

private:
    HICON applicationIconAt(UINT dpi);

    HINSTANCE instance_;
    int iconResource_;
    // One handle per size for the process: the window and the tray show the same icons.
    std::map<int, HICON> icons_;
    std::vector<HCURSOR> cursors_;
};

}  // namespace tamberlyn
