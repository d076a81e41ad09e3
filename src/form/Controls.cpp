#include "form/Controls.h"

#include <utility>

namespace tamberlyn {

Control::Control(std::string name, TwipsRect rect, int tabIndex, const Control* container)
    : name_(std::move(name)), rect_(rect), tabIndex_(tabIndex), container_(container) {}

void Control::changed() const {
    if (onChange) onChange();
}

void Control::setVisible(bool visible) {
    assign(visible_, visible);
}

void Control::setBackColour(Colour colour) {
    assign(backColour_, colour);
}

CaptionedControl::CaptionedControl(std::string name, std::string caption, TwipsRect rect, int tabIndex,
                                   const Control* container)
    : Control(std::move(name), rect, tabIndex, container), caption_(std::move(caption)) {}

void PushButton::setCaption(std::string caption) {
    assign(caption_, std::move(caption));
}

void TextBox::setText(std::string text) {
    assign(text_, std::move(text));
}

void CheckBox::setValue(int value) {
    if (assign(value_, value) && click) click();
}

void Timer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (onChange) onChange();
}

FormWindow::FormWindow(std::string caption, TwipsRect clientArea)
    : Control("Form1", clientArea, 0), caption_(std::move(caption)) {}

void FormWindow::setCaption(std::string caption) {
    assign(caption_, std::move(caption));
}

void FormWindow::setIcon(Picture icon) {
    icon_ = icon;
    changed();
}

void FormWindow::setState(WindowState state) {
    assign(state_, state);
}

void FormWindow::setMousePointer(int pointer) {
    assign(mousePointer_, pointer);
}

void FormWindow::setMouseIcon(int cursorId) {
    mouseIcon_ = cursorId;
    changed();
}

void FormWindow::setFocus() {
    if (focusRequested) focusRequested();
}

}  // namespace tamberlyn
