#pragma once
// The main window: owner of every control, and every handler that the window's events run.
// Native views mirror the controls and call the handlers; nothing here touches a widget.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/ErrorTrap.h"
#include "monitor/ScanCycle.h"
#include "platform/Platform.h"
#include "form/Controls.h"
#include "tray/cSysTray.h"
#include "form/ListView.h"

namespace tamberlyn {

inline const std::string kProductName = "Tamberlyn";
inline const std::string kHomePage = "https://www.quillmark.example/tamberlyn/";

const FontSpec kWindowFont{"Arial", 9.0, true};
const FontSpec kButtonFont{"Arial", 11.25, true};

constexpr int kVirtualKeyDelete = 46;

// One control as a view builds it, and the handlers that the user's actions on it run.
// A handler left empty means the view keeps that action to itself.
struct FormControl {
    Control* control = nullptr;
    ControlKind kind = ControlKind::Frame;
    // A push button pressed, a check box's value changed (through its click), a mouse click
    // in the list.
    std::function<void()> click = {};
    std::function<void()> doubleClick = {};                    // on a row of the list
    std::function<void(int keyCode, int shift)> keyDown = {};  // in the list, before it acts
    // The pointer moved over the control; empty where the control's moves are its own.
    std::function<void()> mouseMove = {};
    // Enter in a text box presses this button.
    bool defaultButton = false;

    template <class Kind>
    Kind& as() const {
        return static_cast<Kind&>(*control);
    }
};

class Form1 {
public:
    explicit Form1(Platform& platform);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The controls, as the window shows them. The push buttons by caption:
    //   PushButton1  "Add To List Below"
    //   PushButton2  "Start Monitoring" / "Stop Monitoring"
    //   PushButton3  "Delete Selected"
    //   PushButton4  "Clear List"
    //   PushButton5  "Help"
    //   PushButton6  "Load Sample/Example Titles"
    FormWindow window;
    PushButton PushButton2;
    Frame Frame2;
    TextBox Text1;
    PushButton PushButton1;
    ListView ListView1;
    PushButton PushButton3;
    PushButton PushButton4;
    PushButton PushButton5;
    PushButton PushButton6;
    Frame Frame1;
    CheckBox Check6;
    CheckBox Check8;
    Timer Timer1;
    cSysTray cSysTray1;

    // The controls above that a view shows, in tab order (a frame before what it holds):
    // views build and wire themselves from this, so a new control is a change here only.
    const std::vector<FormControl>& controls() const { return controls_; }

    // True while the load sequence runs: Check6 then leaves the log-on entry alone.
    bool Loading = false;
    // The window's own handle, which the scan never asks to close; 0 until the load sequence.
    WindowHandle MainWindowHandle = 0;
    // The caption of every message box without one of its own; set by the load sequence.
    std::string AppTitle;
    // True from hiding the window into the tray until it is brought back through the icon.
    bool MinimizedToTray = false;

    // Start-up and close.
    void Form_Load();
    void Form_QueryUnload();

    // Monitoring.
    void Timer1_Timer();
    void PushButton2_Click();
    // The window system reported new windows or titles.
    void Windows_Changed();
    // Which windows are out of reach in this session (empty: none). Told once, in a box,
    // and again only when it changes.
    void WindowReach_Changed(const std::string& notice);

    // Watch-list editing.
    void PushButton1_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void ListView1_Click();
    void ListView1_DblClick();
    void ListView1_KeyDown(int keyCode, int shift);

    // Samples and help.
    void PushButton6_Click();
    void PushButton5_Click();
    void Wait(double seconds);

    // Startup options.
    void Check6_Click();
    void Check8_Click();
    void EnableStartup();
    void DisableStartup();

    // Appearance.
    void ApplySkin();
    void SetAppTitle();
    void PushButton_MouseMove();  // any of the six push buttons
    void Surface_MouseMove();     // the window itself, ListView1, Text1, Frame1, Frame2

    // Tray residency.
    void Form_Resize();
    // "Start in system tray": the window starts hidden in the tray, without a balloon, or
    // minimized where no icon can bring it back.
    void StartInSystemTray();
    void cSysTray1_MouseUp(std::int16_t button, std::int32_t id);
    // A notification area came or went (a panel restarted, or ended).
    void NotificationArea_Changed(bool available);
    // The user started the program again: this instance, the only one, comes forward.
    void AnotherStart();

private:
    Platform& platform_;
    ErrorReports reports_{platform_.messages};
    ScanMemory scanMemory_;
    std::vector<FormControl> controls_;
};

}  // namespace tamberlyn
