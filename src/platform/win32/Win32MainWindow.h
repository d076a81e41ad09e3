#pragma once
// The native main window: a view of Form1. It mirrors the controls' state onto Win32
// controls and turns the user's actions into calls of the form's handlers.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form/Form1.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32WatchList.h"

namespace tamberlyn {

// The main window's class: how a later start finds the running instance.
inline constexpr wchar_t kMainWindowClass[] = L"TamberlynMainWindow";

class Win32MainWindow {
public:
    Win32MainWindow(Form1& form, const Win32Desktop& desktop, HINSTANCE instance, int iconResource);
    ~Win32MainWindow();
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Runs the form's load sequence, then shows the window the way the program was started
    // (showCommand from WinMain), unless the form has hidden or minimized it.
    void load(int showCommand);

private:
    // A control of the form's table and the native control that shows it.
    struct Child {
        const FormControl* entry = nullptr;
        HWND hwnd = nullptr;
        int id = 0;
        Colour shownBackColour = kWhite;
        std::unique_ptr<Win32WatchList> list;  // for a list: what shows its rows and hears its events
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PushButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls(HINSTANCE instance);
    void addChild(const FormControl& entry, HINSTANCE instance);
    void createFonts();
    void layout();
    void placeWindow();
    int pixels(int twips) const;

    void mirrorWindow();
    void mirrorPresence();
    void mirrorChild(Child& child);
    void mirrorTimer();
    void focusWindow();

    void command(int id, int code);
    LRESULT notify(const NMHDR& header, LPARAM lParam);
    bool setCursor(HWND under, int hitTest, UINT mouseMessage);
    // The button that Enter presses: the push button with the focus, else the form's default.
    HWND defaultButton() const;
    UINT pushButtonStyle(HWND button, UINT style) const;
    void showDefaultButton();
    HCURSOR currentCursor() const;
    HBRUSH brushFor(Colour colour);
    const Child* childOf(HWND hwnd) const;

    Form1& form_;
    const Win32Desktop& desktop_;
    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;
    HWND addButton_ = nullptr;  // the form's default button
    HWND focusedButton_ = nullptr;  // a push button with the focus, or none
    std::vector<HWND> pushButtons_;
    HWND lastFocus_ = nullptr;
    std::vector<Child> children_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT windowFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    std::map<Colour, HBRUSH> brushes_;

    // What the native controls show now, so that every mirror changes only what differs.
    int mirroring_ = 0;  // > 0 while the view itself changes the edit
    bool shown_ = false;
    bool loaded_ = false;
    IconHandle shownIcon_ = 0;
    Colour shownBackColour_ = kWhite;
    bool timerRunning_ = false;
    bool anotherStartPending_ = false;  // asked for while the form was still loading
};

}  // namespace tamberlyn
