#include <QApplication>
#include <cstdio>
#include <exception>
#include <optional>

#include "platform/qt/CommandLine.h"
#include "platform/qt/QtProgram.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/X11Display.h"
#include "shell/Settings.h"

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<int> status = tamberlyn::handleCommandLine(arguments, stdout, stderr)) return *status;

    // Under a Wayland session the program runs on Xwayland: X11 windows are the ones it can see and close.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (tamberlyn::xcbPlatformChosen()) {
        if (const std::optional<std::string> problem = tamberlyn::x11DisplayProblem()) {
            std::fprintf(stderr, "%s\n", problem->c_str());
            return 1;
        }
    }

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
