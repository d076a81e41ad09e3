#include "platform/qt/QtProgram.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "platform/linux/LinuxTexts.h"
#include "platform/linux/X11Display.h"

namespace tamberlyn {

QtProgram::QtProgram(QtDesktop::EndAction endAction, WindowSystemChoice windowSystem)
    : windowSystem_(std::move(windowSystem)),
      desktop_(std::move(endAction)),
      logonEntry_(QCoreApplication::applicationFilePath()),
      notifyIcon_(desktop_),
      windows_(MakeWindowServices(windowSystem_, [this](const std::string& notice) { tellReach(notice); })),
      platform_{kLinuxTexts, *windows_, textCase_, settings_,   messages_, events_,  logonEntry_,
                files_,      launcher_, skin_,     notifyIcon_, desktop_,  random_},
      form_(platform_),
      window_(form_, desktop_) {
    QApplication::setWindowIcon(desktop_.icon(desktop_.applicationIcon().handle));
    messages_.setMainWindow(&window_);
    windows_->onReconnect = [this] { watchWindowEvents(); };
    watchWindowEvents();
}

QtProgram::~QtProgram() = default;

void QtProgram::watchWindowEvents() {
    // Replaced from within its own signal, perhaps: the old one goes when control returns.
    if (windowEvents_ != nullptr) windowEvents_.release()->deleteLater();
    if (windows_->fileDescriptor() < 0) return;
    windowEvents_ = std::make_unique<QSocketNotifier>(windows_->fileDescriptor(), QSocketNotifier::Read);
    QSocketNotifier* notifier = windowEvents_.get();
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this, notifier] {
        try {
            if (windows_->processEvents()) form_.Windows_Changed();
        } catch (const std::exception&) {
            EndIfTheDisplayIsLost();  // the server itself is gone, not just this connection
            // The next tick reports it, and tries again to connect.
            notifier->setEnabled(false);
        }
    });
}

void QtProgram::start() {
    // Centred before its native window exists: moved after that, a window that is to start
    // minimized maps in the normal state instead.
    const QRect area = window_.screen()->availableGeometry();
    window_.move(area.center() - window_.rect().center());
    form_.window.setHandle(static_cast<WindowHandle>(window_.winId()));
    form_.Form_Load();
    window_.showCentred();  // as the form left it: shown, minimized, or hidden in the tray
    started_ = true;
    // An X11 session has every window in reach, and nothing to tell or remember.
    if (windowSystem_.kind == DesktopKind::Wayland) tellReach(windowSystem_.notice);
}

void QtProgram::tellReach(const std::string& notice) {
    if (!started_) {  // before the window exists: told once it does
        windowSystem_.notice = notice;
        return;
    }
    if (!notice.empty()) std::fprintf(stderr, "tamberlyn: %s\n", notice.c_str());
    // From the event loop: never from inside the cycle whose services gave way.
    QTimer::singleShot(0, &window_, [this, notice] { form_.WindowReach_Changed(notice); });
}

}  // namespace tamberlyn
