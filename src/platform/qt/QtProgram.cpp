#include "platform/qt/QtProgram.h"

#include <QApplication>
#include <cstdlib>
#include <stdexcept>

namespace tamberlyn {

namespace {

xcb_connection_t* applicationConnection() {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        throw std::runtime_error("Tamberlyn needs an X11 display: run it with QT_QPA_PLATFORM=xcb.");
    }
    return x11->connection();
}

// The root window of the screen Qt opened: the one DISPLAY names, as xcb_connect chose it.
xcb_window_t defaultRoot(xcb_connection_t* connection) {
    int screen = 0;
    char* host = nullptr;
    int display = 0;
    const QByteArray name = qgetenv("DISPLAY");
    if (xcb_parse_display(name.isEmpty() ? nullptr : name.constData(), &host, &display, &screen) != 0) {
        std::free(host);
    }
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && roots.rem > 1; ++i) xcb_screen_next(&roots);
    return roots.data->root;
}

}  // namespace

QtProgram::QtProgram(QtDesktop::EndAction endAction)
    : desktop_(std::move(endAction)),
      logonEntry_(QCoreApplication::applicationFilePath()),
      notifyIcon_(desktop_),
      trayHook_(notifyIcon_),
      windows_(applicationConnection(), defaultRoot(applicationConnection())),
      platform_{DesktopKind::X11, windows_, textCase_,   settings_, messages_, events_,  logonEntry_,
                files_,           launcher_, skin_,       notifyIcon_, trayHook_, desktop_, random_},
      form_(platform_),
      window_(form_, desktop_) {
    QApplication::setWindowIcon(desktop_.icon(desktop_.applicationIcon().handle));
    messages_.setMainWindow(&window_);
}

void QtProgram::start() {
    form_.window.setHandle(static_cast<WindowHandle>(window_.winId()));
    form_.Form_Load();
    window_.showCentred();
}

}  // namespace tamberlyn
