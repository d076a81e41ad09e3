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
