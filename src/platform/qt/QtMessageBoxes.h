#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/MessageBoxes.h"

namespace tamberlyn {

class QtMessageBoxes final : public MessageBoxes {
public:
    // Boxes sit over this window while it is on screen; otherwise they stand alone.
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    MessageResult show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override;

private:
    QPointer<QWidget> mainWindow_;
};

}  // namespace tamberlyn
