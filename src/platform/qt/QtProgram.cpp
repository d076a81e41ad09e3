#include "platform/qt/QtProgram.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <exception>

#include "platform/qt/WindowSystemBackend.h"
#include "platform/qt/X11Display.h"

namespace tamberlyn {

QtProgram::QtProgram(QtDesktop::EndAction endAction)
    : desktop_(std::move(endAction)),
      logonEntry_(QCoreApplication::applicationFilePath()),
      notifyIcon_(desktop_),
      trayHook_(notifyIcon_),
      windows_(MakeWindowServices()),
      platform_{DesktopKind::X11, *windows_, textCase_,   settings_, messages_, events_,  logonEntry_,
                files_,           launcher_, skin_,       notifyIcon_, trayHook_, desktop_, random_},
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
}

}  // namespace tamberlyn
