#pragma once
// Small services of the window system that the main window needs.

#include <cstdint>
#include <string>

#include "platform/NotifyIcon.h"

namespace tamberlyn {

enum class PictureType : std::int32_t { None = 0, Bitmap = 1, Metafile = 2, Icon = 3 };

struct Picture {
    PictureType type = PictureType::None;
    IconHandle handle = 0;
    bool empty() const { return type == PictureType::None || handle == 0; }
};

// Called on the GUI thread. The adapter owns the icons and cursors it hands out, as numbers,
// until it is destroyed; callers never free them.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The application icon (a blue "Q") at the small-icon size: 16 x 16 at 100 % scale.
    // An empty picture when it cannot be loaded; never throws.
    virtual Picture applicationIcon() = 0;
    // Loads a cursor file for the main window's custom pointer; returns its id.
    // Throws PlatformError, saying why, when the file cannot be read as a cursor.
    virtual int loadCursorFile(const std::string& path) = 0;
    // Ends the process at once: no further events run.
    virtual void endProcess() = 0;
};

}  // namespace tamberlyn
