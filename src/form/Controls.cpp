#include "form/Controls.h"

#include <utility>

namespace tamberlyn {

Control::Control(std::string name, TwipsRect rect, int tabIndex, const Control* container)
    : name_(std::move(name)), rect_(rect), tabIndex_(tabIndex), container_(container) {}

void Control::changed() const {
    if (onChange) onChange();
}

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    changed();
}

void Control::setBackColour(Colour colour) {
    if (backColour_ == colour) return;
    backColour_ = colour;
    changed();
}

PushButton::PushButton(std::string name, std::string caption, TwipsRect rect, int tabIndex, const Control* container)
    : Control(std::move(name), rect, tabIndex, container), caption_(std::move(caption)) {}

void PushButton::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed();
}

void TextBox::setText(std::string text) {
    if (text_ == text) return;
    text_ = std::move(text);
    changed();
}

Frame::Frame(std::string name, std::string caption, TwipsRect rect, int tabIndex)
    : Control(std::move(name), rect, tabIndex), caption_(std::move(caption)) {}

CheckBox::CheckBox(std::string name, std::string caption, TwipsRect rect, int tabIndex, const Control* container)
    : Control(std::move(name), rect, tabIndex, container), caption_(std::move(caption)) {}

void CheckBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    changed();
    if (click) click();
}

void Timer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (onChange) onChange();
}

FormWindow::FormWindow(std::string caption, TwipsRect clientArea)
    : Control("Form1", clientArea, 0), caption_(std::move(caption)) {}

void FormWindow::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed();
}

void FormWindow::setIcon(Picture icon) {
    icon_ = icon;
    changed();
}

void FormWindow::setState(WindowState state) {
    if (state_ == state) return;
    state_ = state;
    changed();
}

void FormWindow::setMousePointer(int pointer) {
    if (mousePointer_ == pointer) return;
    mousePointer_ = pointer;
    changed();
}

void FormWindow::setMouseIcon(int cursorId) {
    mouseIcon_ = cursorId;
    changed();
}

void FormWindow::setFocus() {
    if (focusRequested) focusRequested();
}

}  // namespace tamberlyn
