#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace tamberlyn {

// True when Qt is to run on its xcb platform, by QT_QPA_PLATFORM (the first of a list).
bool xcbPlatformChosen();

// Why the X display in DISPLAY cannot be used, in one line; nothing when it can. Checked
// before Qt starts, whose own answer is an abort with a page about platform plugins.
std::optional<std::string> x11DisplayProblem();

// From here on, a lost connection to the X server ends the program: one line on standard
// error, status 1. Qt would otherwise end it with words of its own, from whichever event
// loop happens to notice first, or the program would try to show a report on a display
// that no longer exists.
void EndWhenTheDisplayIsLost();

// Whether the connection Qt's windows live on is gone; false where there is none.
bool DisplayLost();

// Ends the program for a lost display, when EndWhenTheDisplayIsLost() asked for that;
// otherwise (a test that runs the program in its own process) does nothing.
void EndIfTheDisplayIsLost();

// The display a DISPLAY value names, the same for ":5", ":5.0" and "unix:5": the host
// (empty for this machine) and the display number. Nothing when the value names no display.
struct X11DisplayName {
    QByteArray host;
    int number = 0;
};
std::optional<X11DisplayName> parseDisplayName(const QByteArray& display);

}  // namespace tamberlyn
