#pragma once
// The program's icon, its custom pointer and the end of the process.

#include <windows.h>

#include <vector>

#include "platform/Desktop.h"

namespace tamberlyn {

class Win32Desktop final : public Desktop {
public:
    Win32Desktop(HINSTANCE instance, int iconResource);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    Picture applicationIcon() override;
    int loadCursorFile(const std::string& path) override;
    void endProcess() override;

    // A cursor loadCursorFile returned the id of; null for any other id.
    HCURSOR cursor(int id) const;

private:
    HINSTANCE instance_;
    int iconResource_;
    HICON icon_ = nullptr;
    std::vector<HCURSOR> cursors_;
};

}  // namespace tamberlyn
