// The list commands of the main window. Each one that can change the list ends by storing it.

#include "form/Appearance.h"
#include "form/Form1.h"
#include "common/ErrorTrap.h"
#include "watchlist/WatchListStore.h"

namespace tamberlyn {

namespace {
const std::string kClearQuestion = "Are you sure you want to clear list?";
const std::string kSeparatorRefused =
    "A title fragment cannot contain \"" + kEntrySeparator +
    "\": the watch list is stored with it between entries, so the fragment would come back as two.";
}  // namespace

void Form1::PushButton1_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton1_Click"};
    if (trap.test(100, [&] { return !Text1.text().empty(); })) {
        bool added = false;
        trap.step(102, [&] {
            if (!LoadsBackUnchanged(Text1.text())) {
                platform_.messages.show(kSeparatorRefused, AppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
                return;
            }
            ListView1.add(Text1.text());
            added = true;
        });
        if (added) trap.step(104, [&] { Text1.setText(""); });
    }
    trap.step(106, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

void Form1::PushButton3_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton3_Click"};
    if (trap.test(100, [&] { return ListView1.selectedIndex() > 0; })) {
        trap.step(102, [&] { ListView1.remove(ListView1.selectedIndex()); });
    }
    trap.step(104, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

void Form1::PushButton4_Click() {
    ErrorTrap trap{reports_, "Form1", "PushButton4_Click"};
    if (trap.test(100, [&] { return ListView1.count() >= 1; })) {
        MessageResult answer = MessageResult::No;
        trap.step(102, [&] {
            answer = platform_.messages.show(kClearQuestion, AppTitle, MessageButtons::YesNo, MessageIcon::None);
        });
        if (trap.test(104, [&] { return answer == MessageResult::Yes; })) {
            trap.step(106, [&] { ListView1.clear(); });
        }
    }
    trap.step(108, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

void Form1::ListView1_Click() {
    ErrorTrap trap{reports_, "Form1", "ListView1_Click"};
    if (trap.test(100, [&] { return ListView1.count() >= 1; })) {
        if (trap.test(102, [&] { return ListView1.selectedIndex() > 0; })) {
            trap.step(104, [&] { Text1.setText(ListView1.text(ListView1.selectedIndex())); });
        }
    }
}

void Form1::ListView1_DblClick() {
    ErrorTrap trap{reports_, "Form1", "ListView1_DblClick"};
    trap.step(100, [&] {
        if (ListView1.count() >= 1 && ListView1.selectedIndex() > 0) ListView1.remove(ListView1.selectedIndex());
    });
    trap.step(102, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

void Form1::ListView1_KeyDown(int keyCode, int /*shift: Shift, Ctrl and Alt make no difference*/) {
    if (keyCode != kVirtualKeyDelete) return;
    ErrorTrap trap{reports_, "Form1", "ListView1_KeyDown"};
    trap.step(100, [&] {
        if (ListView1.count() >= 1 && ListView1.selectedIndex() > 0) ListView1.remove(ListView1.selectedIndex());
    });
    trap.step(102, [&] { SaveWatchList(platform_.settings, ListView1.watchList()); });
}

}  // namespace tamberlyn
