#include <QApplication>
#include <cstdio>
#include <exception>

#include "platform/qt/QtProgram.h"
#include "platform/qt/QtStrings.h"
#include "shell/Settings.h"

int main(int argc, char* argv[]) {
    // Under a Wayland session the program runs on Xwayland: X11 windows are the ones it can see and close.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setApplicationName(tamberlyn::toQString(tamberlyn::kProductName));
    QApplication::setOrganizationName(tamberlyn::toQString(tamberlyn::kApplicationName));
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides in the tray
    try {
        tamberlyn::QtProgram program;
        program.start();
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tamberlyn: %s\n", e.what());
        return 1;
    }
}
