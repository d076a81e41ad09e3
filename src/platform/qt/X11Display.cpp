#include "platform/qt/X11Display.h"

#include <QByteArrayList>
#include <xcb/xcb.h>

namespace tamberlyn {

bool xcbPlatformChosen() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray first = platform.split(';').first();
    return first.split(':').first().trimmed() == "xcb";
}

std::optional<std::string> x11DisplayProblem() {
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) return "Tamberlyn needs an X11 display: DISPLAY is not set";
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.constData(), &screen);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed) return "Tamberlyn needs an X11 display: cannot open display " + display.toStdString();
    return std::nullopt;
}

}  // namespace tamberlyn
