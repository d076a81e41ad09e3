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

// The display a DISPLAY value names, the same for ":5", ":5.0" and "unix:5": the host
// (empty for this machine) and the display number. Nothing when the value names no display.
struct X11DisplayName {
    QByteArray host;
    int number = 0;
};
std::optional<X11DisplayName> parseDisplayName(const QByteArray& display);

}  // namespace tamberlyn
