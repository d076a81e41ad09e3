#pragma once
// Message boxes that record what they showed and answer as scripted. A box can run
// other handlers while it is "open", as a real modal box does.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace tamberlyn::fakes {

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    MessageResult show(const std::string& text, const std::string& title, MessageButtons buttons,
                       MessageIcon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (whileOpen) {
            auto during = std::move(whileOpen);
            whileOpen = nullptr;
            during();
        }
        if (buttons == MessageButtons::Ok) return MessageResult::Ok;
        if (answers.empty()) return MessageResult::No;
        const MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

    int count() const { return static_cast<int>(shown.size()); }
    const Shown& last() const { return shown.back(); }

    std::vector<Shown> shown;
    std::deque<MessageResult> answers;  // for Yes/No questions, in order
    std::function<void()> whileOpen;    // runs once, inside the next box
};

}  // namespace tamberlyn::fakes
