#pragma once
// Message boxes owned by the main window; the system's own modal loop runs the program's events.

#include <windows.h>

#include <functional>

#include "platform/MessageBoxes.h"

namespace tamberlyn {

class Win32MessageBoxes final : public MessageBoxes {
public:
    explicit Win32MessageBoxes(std::function<HWND()> owner);
    MessageResult show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    std::function<HWND()> owner_;
};

}  // namespace tamberlyn
