// Editing the watch list with the mouse and the keyboard.

#include <string>

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

using Rows = std::vector<std::wstring>;

std::wstring Centre(const RECT& r) {
    return std::to_wstring((r.left + r.right) / 2) + L" " + std::to_wstring((r.top + r.bottom) / 2);
}

TEST_F(ProgramTest, EditsTheListWithMouseAndKeyboard) {
    Program program;
    ASSERT_TRUE(program.start());
    Rows expected;
    for (const std::wstring word : {L"alpha", L"beta", L"gamma"}) {
        program.type(word);
        ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == word; }));
        Program::Click(program.button(L"Add To List Below"));
        expected.push_back(word);
        ASSERT_TRUE(WaitUntil([&] { return program.rows() == expected; }));
    }

    // A click on a row selects it and puts its text in the box.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(2)) + L" click 1"));
    EXPECT_TRUE(WaitUntil([&] { return program.selectedRow() == 2 && TextOf(program.edit()) == L"beta"; }));

    // Delete in the list removes the selected row, and the list is stored at once.
    program.pressKey(program.list(), VK_DELETE);
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"alpha", L"gamma"}; }));
    EXPECT_EQ(StoredSetting(L"Listview"), L"alpha||||||||---|||gamma||||||||---|||");

    // A double-click removes the row under the pointer.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(1)) + L" click --repeat 2 --delay 80 1"));
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"gamma"}; }));

    // Delete Selected removes the selected row only.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(1)) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return program.selectedRow() == 1; }));
    Program::Click(program.button(L"Delete Selected"));
    EXPECT_TRUE(WaitUntil([&] { return program.rows().empty(); }));
    EXPECT_EQ(StoredSetting(L"Listview"), L"");
}

// A point of the screen, a pixel count below the last pixel row of r.
POINT Below(const RECT& r, int pixels) { return {(r.left + r.right) / 2, r.bottom - 1 + pixels}; }

std::wstring At(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }

// The mouse messages of a double click whose second press landed elsewhere, as the system
// queues them: the pointer cannot be made to slip by one pixel under Wine.
void PostDoubleClick(HWND control, POINT first, POINT second) {
    ScreenToClient(control, &first);
    ScreenToClient(control, &second);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, first.y));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(first.x, first.y));
    PostMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(second.x, second.y));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(second.x, second.y));
}

TEST_F(ProgramTest, TheKeysOnlyMoveTheSelectionAndOnlyADoubleClickOnARowRemovesIt) {
    StoreSetting(L"Listview", L"one||||||||---|||two||||||||---|||three||||||||---|||");
    Program program;
    ASSERT_TRUE(program.start());
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(1)) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"one"; }));
    program.type(L"my ");  // where the caret is: the text is the user's either way
    std::wstring typed;
    ASSERT_TRUE(WaitUntil([&] { return (typed = TextOf(program.edit())).size() == 6; }));

    // The arrow keys move the selection, which Delete then removes; the box keeps its text.
    program.pressKey(program.list(), VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return program.selectedRow() == 2; }));
    program.pressKey(program.list(), VK_DELETE);
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"one", L"three"}; }));
    EXPECT_EQ(StoredSetting(L"Listview"), L"one||||||||---|||three||||||||---|||");
    EXPECT_EQ(TextOf(program.edit()), typed);

    // A click below the rows clears the selection and copies nothing.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(2)) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"three"; }));
    program.type(L"my ");
    ASSERT_TRUE(WaitUntil([&] { return (typed = TextOf(program.edit())).size() == 8; }));
    const RECT last = program.rowRect(2);
    ASSERT_TRUE(Xdotool(L"sleep 0.6 mousemove " + At(Below(last, 30)) + L" click 1"));
    EXPECT_TRUE(WaitUntil([&] { return program.selectedRow() == 0; }));
    EXPECT_EQ(TextOf(program.edit()), typed);

    // A double click below the rows removes nothing, also when its first click was on the
    // last row and the second slipped off it.
    PostDoubleClick(program.list(), Below(last, 0), Below(last, 1));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"three"; }));
    // The system hands posted messages out ahead of the mouse's, and the mouse's in order:
    // once the click on the first row shows, all before it has been handled. (xdotool runs
    // on its own: one command line keeps the order of its clicks.)
    ASSERT_TRUE(Xdotool(L"sleep 0.6 mousemove " + At(Below(last, 30)) + L" click --repeat 2 --delay 80 1 sleep 0.6 " +
                        L"mousemove " + Centre(program.rowRect(1)) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"one"; }));
    EXPECT_EQ(program.rows(), (Rows{L"one", L"three"}));
    EXPECT_EQ(StoredSetting(L"Listview"), L"one||||||||---|||three||||||||---|||");

    // A typed letter moves the selection to the next row starting with it, in either case,
    // and copies nothing.
    PostMessageW(program.list(), WM_CHAR, L'T', 1);
    EXPECT_TRUE(WaitUntil([&] { return program.selectedRow() == 2; }));
    EXPECT_EQ(TextOf(program.edit()), L"one");
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool IsDefault(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

std::wstring Centre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return Centre(r);
}

TEST_F(ProgramTest, EnterPressesTheDefaultButtonOrTheFocusedOneAndEscapeDoesNothing) {
    StoreSetting(L"Listview", L"one||||||||---|||");
    Program program;
    ASSERT_TRUE(program.start());
    const HWND add = program.button(L"Add To List Below");
    const HWND deleteSelected = program.button(L"Delete Selected");
    EXPECT_TRUE(IsDefault(add));
    EXPECT_FALSE(IsDefault(deleteSelected));

    // Enter in the text box adds what was typed, as the button below it does.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.edit()) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.window()) == program.edit(); }));
    program.type(L"Notepad");
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"Notepad"; }));
    program.pressKey(program.edit(), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"one", L"Notepad"}; }));
    EXPECT_EQ(TextOf(program.edit()), L"");
    EXPECT_EQ(StoredSetting(L"Listview"), L"one||||||||---|||Notepad||||||||---|||");

    // Escape neither clears the box nor closes or hides the window.
    program.type(L"draft");
    program.pressKey(program.edit(), VK_ESCAPE);
    program.type(L"!");
    ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"draft!"; }));
    EXPECT_TRUE(Visible(program.window()));
    EXPECT_FALSE(IsIconic(program.window()));
    EXPECT_EQ(program.messageBox(), nullptr);
    EXPECT_EQ(program.rows(), (Rows{L"one", L"Notepad"}));

    // A push button with the focus is the default while it has it: Enter presses it.
    ASSERT_TRUE(Xdotool(L"mousemove " + Centre(program.rowRect(1)) + L" click 1"));
    ASSERT_TRUE(WaitUntil([&] { return program.selectedRow() == 1 && TextOf(program.edit()) == L"one"; }));
    program.pressKey(program.list(), VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.window()) == deleteSelected; }));
    EXPECT_TRUE(WaitUntil([&] { return IsDefault(deleteSelected) && !IsDefault(add); }));
    program.pressKey(deleteSelected, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"Notepad"}; }));
    EXPECT_EQ(StoredSetting(L"Listview"), L"Notepad||||||||---|||");

    // Back in the text box by Tab (past the buttons and the check box), the button below
    // it is the default again.
    for (int i = 0; i < 5; ++i) program.pressKey(deleteSelected, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.window()) == program.edit(); }));
    EXPECT_TRUE(WaitUntil([&] { return IsDefault(add) && !IsDefault(deleteSelected); }));
    program.pressKey(program.edit(), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"Notepad", L"one"}; }));
}

TEST_F(ProgramTest, ClearListAsksFirst) {
    StoreSetting(L"Listview", L"one||||||||---|||two||||||||---|||");
    Program program;
    ASSERT_TRUE(program.start());
    ASSERT_EQ(program.rows(), (Rows{L"one", L"two"}));

    HWND box = nullptr;
    Program::Click(program.button(L"Clear List"));
    ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr; }));
    EXPECT_EQ(Program::MessageText(box), L"Are you sure you want to clear list?");
    EXPECT_EQ(TextOf(box), L"Tamberlyn");
    program.answer(box, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return program.messageBox() == nullptr; }));
    EXPECT_EQ(program.rows(), (Rows{L"one", L"two"}));

    Program::Click(program.button(L"Clear List"));
    ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr; }));
    program.answer(box, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return program.rows().empty(); }));
    EXPECT_EQ(StoredSetting(L"Listview"), L"");

    // Help explains the demo in a box of its own.
    Program::Click(program.button(L"Help"));
    ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr; }));
    EXPECT_NE(Program::MessageText(box).find(L"Go to Start > Run and type in calc"), std::wstring::npos);
    program.answer(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return program.messageBox() == nullptr; }));
}

TEST_F(ProgramTest, TheSamplesDemoStartsNotepadAndClosesIt) {
    Program program;
    ASSERT_TRUE(program.start());
    Program::Click(program.button(L"Load Sample/Example Titles"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr; }));
    EXPECT_EQ(Program::MessageText(box),
              L"Would you like to run Calculator and Notepad now to see that software works?");
    ASSERT_FALSE(ProcessRunning(L"notepad.exe"));
    program.answer(box, IDYES);
    // Notepad starts, and after a second of waiting monitoring starts and closes it.
    EXPECT_TRUE(WaitUntil([] { return ProcessRunning(L"notepad.exe"); }));
    EXPECT_TRUE(WaitUntil([&] { return program.button(L"Stop Monitoring") != nullptr; }));
    EXPECT_EQ(program.rows(), (Rows{L"Calculator", L"Notepad"}));
    EXPECT_EQ(StoredSetting(L"Listview"), L"Calculator||||||||---|||Notepad||||||||---|||");
    EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"notepad.exe"); }));
}

}  // namespace
}  // namespace tamberlyn::programtest
