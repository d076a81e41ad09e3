#pragma once
// Drives Tamberlyn.exe from another process as a person would: finds its windows, types,
// clicks, minimizes, and reads what the screen and the registry show.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../WaitUntil.h"

namespace tamberlyn::programtest {

using wintest::kDeadline;
using wintest::WaitUntil;

// A file the build names in an environment variable (a Unix path, as CMake knows it), as
// Windows sees it; empty when the variable is not set.
std::wstring PathFromEnvironment(const char* variable);
// The exe under test, from TAMBERLYN_EXE.
std::wstring ProgramPath();
// A copy of the exe under a new path (folders created); the path.
std::wstring CopyProgramTo(const std::wstring& folder);
// A skinned copy of the program in its own folder, with the skin file x\o.cjs beside it.
std::wstring SkinnedProgram(const std::wstring& folder, const char* skin);

// The program's settings: HKCU\Software\VB and VBA Program Settings\Quillmark\Tamberlyn.
std::optional<std::wstring> StoredSetting(const std::wstring& key);
void StoreSetting(const std::wstring& key, const std::wstring& value);
// The settings of a log-on start into the tray, monitoring for "notepad".
void StoreLogOnStartInTray();
void ClearSettings();

inline const wchar_t* const kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
std::optional<std::wstring> RegistryText(HKEY root, const wchar_t* path, const wchar_t* name);

std::wstring ClassOf(HWND hwnd);
// The text a window shows, asked of its own thread (edit controls keep theirs to themselves).
std::wstring TextOf(HWND hwnd);
bool Visible(HWND hwnd);

// Whether the shell holds the icon of this window (icon id 0): only an existing icon can be modified.
bool TrayIconPresent(HWND control);
// What a task bar that went away leaves behind: no icon.
void RemoveTrayIcon(HWND control);

// How many processes of that executable name run now.
int ProcessCount(const std::wstring& exeName);
inline bool ProcessRunning(const std::wstring& exeName) { return ProcessCount(exeName) > 0; }

// Runs xdotool on the test's display with these arguments and waits for it.
bool Xdotool(const std::wstring& arguments);

// A run of the program to its end, with what it wrote to standard output and error.
struct Finished {
    bool ended = false;  // false: it still ran at the deadline, and was ended
    DWORD exitCode = STILL_ACTIVE;
    std::string out;
    std::string err;
};
Finished RunToEnd(const std::wstring& arguments, const std::wstring& program = ProgramPath());

// The screen's DPI, as Wine reads it for each new process; back to the default afterwards.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi);
    ~ScreenDpi();
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
};

// The running program and its windows.
class Program {
public:
    explicit Program(std::wstring path = ProgramPath());
    ~Program();  // ends the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the program and waits for its main window to be shown.
    ::testing::AssertionResult start();
    // Inherited: the test's own standard handles. None: no standard handles at all, as
    // from a shortcut.
    enum class Output { Inherited, None };
    // The two halves of start(), for a start that asks something first. The arguments
    // follow the quoted program path on the command line.
    ::testing::AssertionResult launch(const std::wstring& arguments = {}, Output output = Output::Inherited);
    // Starts it by a command line, as the shell runs one (the log-on entry's, say).
    ::testing::AssertionResult launchCommandLine(std::wstring commandLine);
    ::testing::AssertionResult waitForWindow();
    // Waits for the icon in the tray and finds the main window, shown or not.
    ::testing::AssertionResult waitForLoad();
    bool exited() const;
    // Waits for the process to end by itself.
    bool waitForExit() const;
    DWORD exitCode() const;
    DWORD processId() const { return process_.dwProcessId; }
    // As Task Manager ends it: no clean-up of its own.
    void kill();
    // Whether the process has a main window, shown or not.
    bool hasMainWindow() const;

    HWND window() const { return window_; }
    HWND control(const std::wstring& className, const std::wstring& text) const;
    HWND button(const std::wstring& caption) const { return control(L"Button", caption); }
    HWND edit() const;
    HWND list() const;
    // The hidden window the tray icon reports to.
    HWND trayControl() const;
    // A message box of the program, shown now; null for none.
    HWND messageBox() const;
    // The message box's text.
    static std::wstring MessageText(HWND box);

    // What the list shows: its rows and the selected row (0 for none, else 1-based).
    std::vector<std::wstring> rows() const;
    int selectedRow() const;
    // A row's rectangle in screen coordinates.
    RECT rowRect(int row) const;
    bool checked(HWND checkBox) const;

    // Keystrokes into the text box, as the keyboard delivers them after translation.
    void type(const std::wstring& text) const;
    void pressKey(HWND target, UINT virtualKey) const;
    // A click, as the control reports it when it is pressed and released; posted, since the
    // handler may show a modal box.
    static void Click(HWND button);
    void answer(HWND box, int buttonId) const;
    // What clicking the minimize box does.
    void minimize() const;
    void close() const;

private:
    std::vector<HWND> topLevelWindows() const;

    std::wstring path_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Wine's notepad: "Untitled - Notepad".
class Notepad {
public:
    Notepad() = default;
    ~Notepad();
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    ::testing::AssertionResult start();
    // Waits for "Untitled - Notepad" to show; a watching Tamberlyn may close it first.
    bool showed();
    bool exited() const;
    DWORD exitCode() const;
    DWORD processId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
};

// Each test starts from an empty settings key and leaves no program running.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
};

}  // namespace tamberlyn::programtest
