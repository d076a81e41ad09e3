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

    // Told when the user closes the window, before the form's close sequence ends the program.
    std::function<void()> closing;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A control of the form's table and the widget that shows it.
    struct Shown {
        const FormControl* entry;
        QWidget* widget;
    };

    QRect pixelsOf(const Control& control) const;
    QWidget* widgetOf(const Control* control);
    void build(const FormControl& entry);
    void setTabOrderByTable();
    void watchMouse(QWidget& widget, std::function<void()> mouseMove);
    void pressDefaultButton();

    // Each mirror touches a widget only where it differs from the form.
    void mirror(const Shown& shown);
    void mirrorWindow();
    void mirrorWindowVisibility();
    void mirrorPointer();
    void mirrorButton(QPushButton& widget, const PushButton& control);
    void mirrorFrame(QGroupBox& widget, const Frame& control);
    void mirrorCheckBox(QCheckBox& widget, const CheckBox& control);
    void mirrorText(QLineEdit& widget, const TextBox& control);
    void mirrorList(WatchListWidget& widget, const ListView& list);
    void mirrorTimer();
    void mirrorBackColour(QWidget& widget, const Control& control);
    void mirrorVisible(QWidget& widget, const Control& control);

    void userMinimizedOrRestored();

    Form1& form_;
    const QtDesktop& desktop_;
    double dpi_;
    bool shown_ = false;     // the form's visibility is mirrored once the window was first shown
    int mirroring_ = 0;      // > 0 while a mirror runs: the widget signals it raises are no user events

    std::vector<Shown> widgets_;  // in the table's order, which is the tab order
    QTimer Timer1_;
    QWidget* firstInTabOrder_ = nullptr;

    std::map<const QWidget*, std::function<void()>> mouseMoves_;  // what a move over each watched widget runs
    std::map<const Control*, Colour> mirroredBackColour_;
    IconHandle mirroredIcon_ = 0;
    int mirroredPointer_ = kPointerDefault;
    int mirroredMouseIcon_ = 0;
};

}  // namespace tamberlyn
