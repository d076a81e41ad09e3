#pragma once
// The skin engine's five operations that start-up relies on.

#include <cstdint>
#include <string>

#include "platform/WindowServices.h"

namespace tamberlyn {

constexpr std::int32_t kSkinApplyFrame = 1;  // bit 0 of the apply options

// Called on the GUI thread. Failures throw PlatformError, saying why; the window keeps its
// look from before the failed call.
class SkinEngine {
public:
    virtual ~SkinEngine() = default;
    virtual void loadSkin(const std::string& path, const std::string& iniFileName) = 0;  // throws on a bad file
    virtual std::int32_t applyOptions() const = 0;
    virtual void setApplyOptions(std::int32_t options) = 0;
    virtual void setApplyMetrics(bool on) = 0;
    virtual void setApplyColors(bool on) = 0;
    // Throws when the window does not exist.
    virtual void applyWindow(WindowHandle window) = 0;
};

}  // namespace tamberlyn
