#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "form/Form1.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tamberlyn {

class QtDesktop;
class WatchListWidget;

// The Qt view of Form1: mirrors the form's controls onto widgets and turns user events
// into the form's handlers. Whatever the user sees is decided by the form.
class MainWindow final : public QWidget {
public:
    MainWindow(Form1& form, const QtDesktop& desktop);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The first showing, centred on the screen; from then on the window's visibility follows the form.
    void showCentred();

    // The pixels per inch that the twips were converted at.
    double logicalDpi() const { return dpi_; }

    // Told when the user closes the window, before the form's close sequence ends the program.
    std::function<void()> closing;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect pixelsOf(const Control& control) const;
    void place(QWidget& widget, const Control& control);
    void setTabOrderByIndex();
    void watchMouse(QWidget& widget, bool pushButton);

    // Each mirror touches a widget only where it differs from the form.
    void mirrorWindow();
    void mirrorWindowVisibility();
    void mirrorPointer();
    void mirrorButton(QPushButton& widget, const PushButton& control);
    void mirrorFrame(QGroupBox& widget, const Frame& control);
    void mirrorCheckBox(QCheckBox& widget, const CheckBox& control);
    void mirrorText();
    void mirrorList();
    void mirrorRows();
    void mirrorTimer();
    void mirrorBackColour(QWidget& widget, const Control& control);
    void mirrorVisible(QWidget& widget, const Control& control);

    void userMinimizedOrRestored();

    Form1& form_;
    const QtDesktop& desktop_;
    double dpi_;
    bool shown_ = false;     // the form's visibility is mirrored once the window was first shown
    bool mirroring_ = false; // widget signals raised by a mirror are no user events

    QPushButton* PushButton2_;
    QGroupBox* Frame2_;
    QLineEdit* Text1_;
    QPushButton* PushButton1_;
    WatchListWidget* ListView1_;
    QPushButton* PushButton3_;
    QPushButton* PushButton4_;
    QPushButton* PushButton5_;
    QPushButton* PushButton6_;
    QGroupBox* Frame1_;
    QCheckBox* Check6_;
    QCheckBox* Check8_;
    QTimer Timer1_;
    QWidget* firstInTabOrder_ = nullptr;

    std::vector<std::string> shownRows_;  // what the list widget shows, row by row
    std::uint64_t shownRowsRevision_ = 0;
    std::map<const QWidget*, bool> mouseWatched_;  // widgets whose mouse moves the form hears of: push button or not
    std::map<const Control*, Colour> mirroredBackColour_;
    IconHandle mirroredIcon_ = 0;
    int mirroredPointer_ = kPointerDefault;
    int mirroredMouseIcon_ = 0;
};

}  // namespace tamberlyn
