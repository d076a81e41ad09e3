// Start-up, monitoring, and what one run leaves in the registry for the next.

#include "ProgramDriver.h"

namespace tamberlyn::programtest {
namespace {

using Rows = std::vector<std::wstring>;

TEST_F(ProgramTest, StartsWithoutErrorsFromAnEmptyRegistry) {
    Program program;
    ASSERT_TRUE(program.start());
    // The window shows only after the load sequence, so any report of it would be up now.
    EXPECT_EQ(program.messageBox(), nullptr);
    EXPECT_NE(program.button(L"Start Monitoring"), nullptr);
    EXPECT_EQ(program.rows(), Rows{});
    const HWND startup = program.button(L"Load this software on Windows startup");
    ASSERT_NE(startup, nullptr);
    EXPECT_FALSE(program.checked(startup));
    const HWND inTray = program.button(L"Start in system tray");
    ASSERT_NE(inTray, nullptr);
    EXPECT_FALSE(Visible(inTray));
    EXPECT_TRUE(TrayIconPresent(program.trayControl()));
    EXPECT_EQ(StoredSetting(L"Listview"), std::nullopt);

    // Watching an empty list is refused with a word of advice.
    Program::Click(program.button(L"Start Monitoring"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = program.messageBox()) != nullptr; }));
    EXPECT_EQ(Program::MessageText(box), L"Please add a keyword to monitor");
    program.answer(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return program.messageBox() == nullptr; }));
    EXPECT_NE(program.button(L"Start Monitoring"), nullptr);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

TEST_F(ProgramTest, TabGoesThroughTheControlsInTheFormsOrder) {
    Program program;
    ASSERT_TRUE(program.start());
    // The list comes first; then the buttons below it, the monitoring switch, Help and the
    // startup option (the tray option is hidden), the text box and its button, the samples.
    const std::vector<HWND> order{program.list(),
                                  program.button(L"Delete Selected"),
                                  program.button(L"Clear List"),
                                  program.button(L"Start Monitoring"),
                                  program.button(L"Help"),
                                  program.button(L"Load this software on Windows startup"),
                                  program.edit(),
                                  program.button(L"Add To List Below"),
                                  program.button(L"Load Sample/Example Titles"),
                                  program.list()};
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program.window()) == order.front(); }));
    for (std::size_t i = 1; i < order.size(); ++i) {
        program.pressKey(FocusOf(program.window()), VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(program.window()) == order[i]; })) << "step " << i;
    }
}

TEST_F(ProgramTest, ClosesMatchingWindowsOnceStartedAndCarriesListAndStateToTheNextRun) {
    {
        Program program;
        ASSERT_TRUE(program.start());
        program.type(L"NotePad");
        ASSERT_TRUE(WaitUntil([&] { return TextOf(program.edit()) == L"NotePad"; }));
        Program::Click(program.button(L"Add To List Below"));
        ASSERT_TRUE(WaitUntil([&] { return program.rows() == Rows{L"NotePad"}; }));
        EXPECT_EQ(TextOf(program.edit()), L"");
        EXPECT_EQ(StoredSetting(L"Listview"), L"NotePad||||||||---|||");

        Notepad notepad;
        ASSERT_TRUE(notepad.start());
        ASSERT_TRUE(notepad.showed());
        EXPECT_FALSE(notepad.exited()) << "closed before monitoring was started";

        Program::Click(program.button(L"Start Monitoring"));
        EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));
        EXPECT_EQ(notepad.exitCode(), 0u) << "asked to close, it ends normally";
        EXPECT_NE(program.button(L"Stop Monitoring"), nullptr);
        EXPECT_EQ(StoredSetting(L"StartStopState"), L"On");

        program.close();
        EXPECT_TRUE(WaitUntil([&] { return program.exited(); }));
    }
    Program again;
    ASSERT_TRUE(again.start());
    EXPECT_EQ(again.rows(), Rows{L"NotePad"});
    EXPECT_NE(again.button(L"Stop Monitoring"), nullptr);
    Notepad notepad;
    ASSERT_TRUE(notepad.start());
    EXPECT_TRUE(WaitUntil([&] { return notepad.exited(); }));

    // Stopped, it leaves windows alone, and the next run starts stopped.
    Program::Click(again.button(L"Stop Monitoring"));
    ASSERT_TRUE(WaitUntil([&] { return again.button(L"Start Monitoring") != nullptr; }));
    EXPECT_EQ(StoredSetting(L"StartStopState"), L"Off");
    Notepad spared;
    ASSERT_TRUE(spared.start());
    EXPECT_TRUE(spared.showed());
    EXPECT_FALSE(spared.exited());
}

}  // namespace
}  // namespace tamberlyn::programtest
