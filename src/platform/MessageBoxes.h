#pragma once
// Modal message boxes.

#include <string>

namespace tamberlyn {

enum class MessageButtons { Ok, YesNo };  // YesNo has Yes as its default button
enum class MessageIcon { None, Exclamation };
enum class MessageResult { Ok = 1, Yes = 6, No = 7 };

// Called on the GUI thread; the box is gone when show() returns. Throws PlatformError when
// no box could be shown: the caller never takes that for an answer.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and runs the program's events until the user answers.
    // Line breaks in text are "\r\n" or "\r".
    virtual MessageResult show(const std::string& text, const std::string& title, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

}  // namespace tamberlyn
