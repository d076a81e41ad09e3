#pragma once

#include <QCursor>
#include <QIcon>
#include <functional>
#include <map>
#include <optional>

#include "platform/Desktop.h"

namespace tamberlyn {

// Icons and cursors are handed to the core as ids; the view and the tray icon turn them back.
class QtDesktop final : public Desktop {
public:
    // What ending the process does; tests put an observer in place of the real end.
    using EndAction = std::function<void()>;
    explicit QtDesktop(EndAction endAction = endAtOnce);

    Picture applicationIcon() override;
    int loadCursorFile(const std::string& path) override;
    void endProcess() override;

    // A null icon or cursor for an id this desktop never gave out.
    QIcon icon(IconHandle id) const;
    std::optional<QCursor> cursor(int id) const;

    // The program's default end: the process stops right here, whatever loop it is in.
    static void endAtOnce();

private:
    EndAction endAction_;
    std::map<IconHandle, QIcon> icons_;
    IconHandle applicationIcon_ = 0;
    std::map<int, QCursor> cursors_;
};

// The blue "Q" at the given size in pixels.
QPixmap drawApplicationIcon(int size);

}  // namespace tamberlyn
