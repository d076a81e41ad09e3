#include "platform/linux/X11Display.h"

#include <QByteArrayList>
#include <QGuiApplication>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace tamberlyn {

namespace {

std::atomic<bool> endOnLoss{false};
QtMessageHandler previousHandler = nullptr;

// Every message Qt has to give passes here, the one about its broken connection too, which
// it follows with exit(1); so do any others that the loss brings about first.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    EndIfTheDisplayIsLost();
    if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void EndWhenTheDisplayIsLost() {
    if (endOnLoss.exchange(true)) return;
    previousHandler = qInstallMessageHandler(messageHandler);
}

bool DisplayLost() {
    if (qGuiApp == nullptr) return false;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    return connection != nullptr && xcb_connection_has_error(connection) != 0;
}

void EndIfTheDisplayIsLost() {
    if (!endOnLoss || !DisplayLost()) return;
    // Nothing is saved at the end, so nothing is left to do: no destructor runs on a dead display.
    std::fprintf(stderr, "tamberlyn: the connection to the X server of display %s was lost\n",
                 qgetenv("DISPLAY").constData());
    std::fflush(stderr);
    std::_Exit(1);
}

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
