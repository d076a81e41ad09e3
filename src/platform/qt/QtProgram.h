#pragma once

#include <QSocketNotifier>
#include <memory>

#include "form/Form1.h"
#include "platform/EventDrivenWindowServices.h"
#include "platform/Platform.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtNotifyIcon.h"
#include "platform/qt/QtProgramFiles.h"
#include "platform/qt/QtProgramLauncher.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/QtSkinEngine.h"
#include "platform/qt/QtTextCase.h"
#include "platform/linux/WindowSystem.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "common/ClockRandom.h"

namespace tamberlyn {

// The Linux program: every adapter, the form and its view, put together in order.
// Needs a QApplication on a platform that MakeWindowServices serves.
class QtProgram {
public:
    explicit QtProgram(QtDesktop::EndAction endAction = QtDesktop::endAtOnce, WindowSystemChoice windowSystem = {});
    ~QtProgram();
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    // The window's handle first, then the load sequence, then the window as the form left
    // it: centred on screen, minimized, or hidden in the tray; then, once, what this
    // session keeps out of reach.
    void start();

    Form1& form() { return form_; }
    MainWindow& window() { return window_; }
    QtNotifyIcon& notifyIcon() { return notifyIcon_; }
    QtDesktop& desktop() { return desktop_; }

private:
    // News from the window system reach the window services, and the form if windows changed.
    void watchWindowEvents();
    // What this session keeps out of reach, on standard error and once in the window.
    void tellReach(const std::string& notice);

    WindowSystemChoice windowSystem_;
    bool started_ = false;  // before windows_, whose fallback may tell of it at once
    QtDesktop desktop_;
    QtTextCase textCase_;
    QtSettingsStore settings_;
    QtMessageBoxes messages_;
    QtEventLoop events_;
    XdgAutostartEntry logonEntry_;
    QtProgramFiles files_;
    QtProgramLauncher launcher_;
    QtSkinEngine skin_;
    QtNotifyIcon notifyIcon_;
    ClockRandom random_;
    // Before platform_, which holds on to it.
    std::unique_ptr<EventDrivenWindowServices> windows_;
    Platform platform_;
    Form1 form_;
    MainWindow window_;
    std::unique_ptr<QSocketNotifier> windowEvents_;
};

}  // namespace tamberlyn
