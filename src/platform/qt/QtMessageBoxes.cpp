#include "platform/qt/QtMessageBoxes.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include "platform/qt/QtStrings.h"

namespace tamberlyn {

namespace {

// As the native Yes/No box: answered by a button only. Escape and closing the window (also a
// close request from the monitor to a box whose title matches) leave it open.
class QuestionBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

MessageResult QtMessageBoxes::show(const std::string& text, const std::string& title, MessageButtons buttons,
                                   MessageIcon icon) {
    QWidget* parent = mainWindow_ && mainWindow_->isVisible() ? mainWindow_.data() : nullptr;
    QuestionBox question(parent);
    QMessageBox plain(parent);
    QMessageBox& box = buttons == MessageButtons::YesNo ? question : plain;
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
    return box.clickedButton() == box.button(QMessageBox::Yes) ? MessageResult::Yes : MessageResult::No;
}

}  // namespace tamberlyn
