#include <QApplication>
#include <QFile>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "platform/qt/CommandLine.h"
#include "platform/qt/QtProgram.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/SingleInstance.h"
#include "platform/linux/InstanceName.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/X11Display.h"
#include "common/Settings.h"

namespace {

// Takes this session for this run, or hands over to the program already running in it.
// Returns the exit status when this start is to end.
std::optional<int> claimDisplay(std::unique_ptr<tamberlyn::SingleInstance>& instance,
                                const tamberlyn::WindowSystemChoice& session) {
    using tamberlyn::SingleInstance;
    const QByteArray display = qgetenv("DISPLAY");
    try {
        instance = std::make_unique<SingleInstance>(SingleInstance::privateFolder(),
                                                    tamberlyn::InstanceName(display, session.waylandDisplay));
        switch (instance->claim()) {
            case SingleInstance::Claim::First: return std::nullopt;
            case SingleInstance::Claim::HandedOver: return 0;
            case SingleInstance::Claim::NoAnswer:
                std::fprintf(stderr, "tamberlyn: Tamberlyn is already running on display %s but does not answer\n",
                             display.constData());
                return 1;
        }
    } catch (const std::exception& e) {
        // Better two programs than none.
        std::fprintf(stderr, "tamberlyn: cannot make sure that Tamberlyn runs only once on this display: %s\n",
                     e.what());
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<int> status = tamberlyn::handleCommandLine(arguments, stdout, stderr)) return *status;

    // The window and its tray icon live on X11, Xwayland on a Wayland session: there Qt's
    // tray finds the notification area, and a second start can bring the window forward.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    const tamberlyn::WindowSystemChoice windowSystem = tamberlyn::ChooseWindowSystem();
    if (tamberlyn::xcbPlatformChosen()) {
        if (const std::optional<std::string> problem = tamberlyn::x11DisplayProblem()) {
            std::fprintf(stderr, "%s\n", problem->c_str());
            return 1;
        }
    }

    // Qt wants a runtime folder too. Without one the guard trusts, it would warn and make
    // its own in the shared temporary folder, where another user may have made it first.
    try {
        const QString folder = tamberlyn::SingleInstance::privateFolder();
        if (folder != qEnvironmentVariable("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
    } catch (const std::exception&) {
        // claimDisplay() tells
    }

    QApplication application(argc, argv);
    tamberlyn::EndWhenTheDisplayIsLost();
    QApplication::setApplicationName(tamberlyn::toQString(tamberlyn::kProductName));
    QApplication::setOrganizationName(tamberlyn::toQString(tamberlyn::kApplicationName));
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides in the tray
    QGuiApplication::setDesktopFileName(QStringLiteral(TAMBERLYN_APP_ID));  // ties the window to its menu entry

    std::unique_ptr<tamberlyn::SingleInstance> instance;
    if (const std::optional<int> status = claimDisplay(instance, windowSystem)) return *status;
    try {
        tamberlyn::QtProgram program(tamberlyn::QtDesktop::endAtOnce, windowSystem);
        if (instance != nullptr) program.window().closing = [&instance] { instance->withdraw(); };
        program.start();
        // Later starts wait until the window is up, then bring it forward.
        if (instance != nullptr) instance->answerWith([&program] { program.form().AnotherStart(); });
        const int status = QApplication::exec();
        instance.reset();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tamberlyn: %s\n", e.what());
        return 1;
    }
}
