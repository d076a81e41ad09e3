#include "platform/qt/WindowSystemBackend.h"

#include <QGuiApplication>
#include <stdexcept>

#include "platform/x11/X11WindowServices.h"

namespace tamberlyn {

namespace {

// The X11 services keep a connection of their own, to the display Qt opened; Qt's only
// proves that the program runs on X11.
bool OnX11() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && x11->connection() != nullptr;
}

}  // namespace

std::unique_ptr<EventDrivenWindowServices> MakeWindowServices() {
    if (OnX11()) return std::make_unique<X11WindowServices>();
    throw std::runtime_error("Tamberlyn needs an X11 display: run it with QT_QPA_PLATFORM=xcb.");
}

}  // namespace tamberlyn
