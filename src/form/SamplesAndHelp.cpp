// The two commands that introduce a new user: example fragments with a live demo, and the help.

#include "form/Appearance.h"
#include "form/Form1.h"
#include "form/SamplesAndHelp.h"
#include "common/ErrorTrap.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {

namespace {
const std::string kRunDemoQuestion = "Would you like to run Calculator and Notepad now to see that software works?";
}  // namespace

std::string HelpText(const DesktopTexts& texts) {
    const std::string paragraphBreak = "\r\r";
    std::string text = "This program will automatically close a window if it contains the letters (name) you add.";
    for (const std::string& paragraph :
         {std::string("Please try the following demo:"), std::string("Add the word"), std::string("calc"),
          std::string("to this program."), std::string("Click \"Start Monitoring\""), texts.helpRunCalculator,
          texts.helpCalculatorOpens}) {
        text += paragraphBreak;
        text += paragraph;
    }
    return text;
}

void Form1::PushButton6_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton6_Click"};
    trap.step(100, [&] { ListView1.add("Calculator"); });
    trap.step(102, [&] { ListView1.add("Notepad"); });
    MessageResult answer = MessageResult::No;
    bool askFailed = false;
    trap.step(104, [&] {
        try {
            answer = platform_.messages.show(kRunDemoQuestion, AppTitle, MessageButtons::YesNo, MessageIcon::None);
        } catch (...) {
            askFailed = true;
            throw;
        }
    });
    if (askFailed || answer == MessageResult::Yes) {
        trap.step(106, [&] { platform_.launcher.startProgram("calc", platform_.texts.rootFolder); });
        trap.step(108, [&] { platform_.launcher.startProgram("notepad", platform_.texts.rootFolder); });
        trap.step(108, [&] { Wait(1); });
        trap.step(108, [&] { PushButton2_Click(); });
    }
    trap.step(110, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

void Form1::PushButton5_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton5_Click"};
    trap.step(118, [&] {
        platform_.messages.show(HelpText(platform_.texts), AppTitle, MessageButtons::Ok, MessageIcon::None);
    });
}

void Form1::Wait(double seconds) {
    EventLoop& events = platform_.events;
    const Clock::time_point start = events.now();
    const auto deadline = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (events.now() < deadline) events.waitForEventsUntil(deadline);
}

}  // namespace tamberlyn
