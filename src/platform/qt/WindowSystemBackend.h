#pragma once
// The one place that chooses the window services for the window system Qt runs on.

#include <memory>

#include "platform/EventDrivenWindowServices.h"

namespace tamberlyn {

// Needs a QGuiApplication. Throws std::runtime_error, saying what to do, when Qt runs on
// a platform whose windows no backend here can see; PlatformError when the backend cannot
// connect.
std::unique_ptr<EventDrivenWindowServices> MakeWindowServices();

}  // namespace tamberlyn
