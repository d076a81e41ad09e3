#include "platform/qt/QtEventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace tamberlyn {

void QtEventLoop::processPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventLoop::waitForEventsUntil(Clock::time_point deadline) {
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now());
    if (remaining.count() <= 0) {
        processPendingEvents();
        return;
    }
    // The timer's own event ends the wait at the deadline when nothing else arrives first.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(remaining);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

Clock::time_point QtEventLoop::now() const { return Clock::now(); }

}  // namespace tamberlyn
