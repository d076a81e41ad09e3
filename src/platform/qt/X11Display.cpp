#include "platform/qt/X11Display.h"

#include <QByteArrayList>
#include <xcb/xcb.h>

#include <cstdlib>

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

std::optional<X11DisplayName> parseDisplayName(const QByteArray& display) {
    char* host = nullptr;
    int number = 0;
    int screen = 0;
    if (display.isEmpty() || xcb_parse_display(display.constData(), &host, &number, &screen) == 0) return std::nullopt;
    X11DisplayName name{QByteArray(host), number};
    std::free(host);
    if (name.host == "unix") name.host.clear();  // "unix:5" is the local ":5"
    return name;
}

}  // namespace tamberlyn
