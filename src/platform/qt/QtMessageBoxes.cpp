#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>

#include "platform/qt/QtStrings.h"

namespace tamberlyn {

MessageResult QtMessageBoxes::show(const std::string& text, const std::string& title, MessageButtons buttons,
                                   MessageIcon icon) {
    QWidget* parent = mainWindow_ && mainWindow_->isVisible() ? mainWindow_.data() : nullptr;
    QMessageBox box(parent);
    box.setWindowTitle(toQString(title));
    box.setTextFormat(Qt::PlainText);  // user text such as "<b>" must show as typed
    box.setText(withNewlines(text));
    box.setIcon(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    box.exec();
    if (buttons == MessageButtons::Ok) return MessageResult::Ok;
    // Closing the box or Escape answers No, the escape button of a Yes/No box.
    return box.clickedButton() == box.button(QMessageBox::Yes) ? MessageResult::Yes : MessageResult::No;
}

}  // namespace tamberlyn
