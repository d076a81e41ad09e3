#pragma once
// The main window's controls as plain state. A native view mirrors them onto widgets
// (it listens to onChange) and calls the form's handlers for user events.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/Desktop.h"
#include "platform/WindowServices.h"

namespace tamberlyn {

// Position and size in twips (1/1440 inch), relative to the container.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct FontSpec {
    std::string family;
    double points;
    bool bold;
};

// Colours as 0x00BBGGRR, or a system colour as 0x80000000 plus its index.
using Colour = std::uint32_t;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kButtonFace = 0x8000000F;

// What a view makes of a control.
enum class ControlKind { PushButton, Frame, TextBox, ListView, CheckBox };

class Control {
public:
    Control(std::string name, TwipsRect rect, int tabIndex, const Control* container = nullptr);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    TwipsRect rect() const { return rect_; }
    int tabIndex() const { return tabIndex_; }
    const Control* container() const { return container_; }

    bool visible() const { return visible_; }
    void setVisible(bool visible);

    Colour backColour() const { return backColour_; }
    void setBackColour(Colour colour);

    // The view's hook: called after every change of the control's state.
    std::function<void()> onChange;

protected:
    void changed() const;
    // Stores a new value and tells the view; true when the value was not there already.
    template <class Field, class Value>
    bool assign(Field& field, Value&& value) {
        if (field == value) return false;
        field = std::forward<Value>(value);
        changed();
        return true;
    }

private:
    std::string name_;
    TwipsRect rect_;
    int tabIndex_;
    const Control* container_;
    bool visible_ = true;
    Colour backColour_ = kWhite;
};

// A control that shows a caption of its own.
class CaptionedControl : public Control {
public:
    CaptionedControl(std::string name, std::string caption, TwipsRect rect, int tabIndex,
                     const Control* container = nullptr);
    const std::string& caption() const { return caption_; }

protected:
    std::string caption_;
};

class PushButton : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    void setCaption(std::string caption);
};

class TextBox : public Control {
public:
    using Control::Control;
    const std::string& text() const { return text_; }
    void setText(std::string text);

private:
    std::string text_;
};

class Frame : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
};

// A check box raises its click whenever its value changes, by the user or by the program,
// synchronously, as a native check box does.
class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    int value() const { return value_; }  // 0 clear, 1 ticked
    void setValue(int value);

    std::function<void()> click;

private:
    int value_ = 0;
};

// The periodic timer; its enabled flag is the monitoring state.
class Timer {
public:
    explicit Timer(int intervalMilliseconds) : interval_(intervalMilliseconds) {}
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    int interval() const { return interval_; }

    std::function<void()> onChange;

private:
    bool enabled_ = false;
    int interval_;
};

enum class WindowState { Normal, Minimized };

constexpr int kPointerDefault = 0;
constexpr int kPointerCustom = 99;

// The main window itself.
class FormWindow : public Control {
public:
    FormWindow(std::string caption, TwipsRect clientArea);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

    Picture icon() const { return icon_; }
    void setIcon(Picture icon);

    WindowState state() const { return state_; }
    void setState(WindowState state);

    int mousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);

    int mouseIcon() const { return mouseIcon_; }  // a loaded cursor's id; 0 for none
    void setMouseIcon(int cursorId);

    WindowHandle handle() const { return handle_; }
    void setHandle(WindowHandle handle) { handle_ = handle; }

    // Brings the window to the front with the keyboard focus.
    void setFocus();
    std::function<void()> focusRequested;

private:
    std::string caption_;
    Picture icon_;
    WindowState state_ = WindowState::Normal;
    int mousePointer_ = kPointerDefault;
    int mouseIcon_ = 0;
    WindowHandle handle_ = 0;
};

}  // namespace tamberlyn
