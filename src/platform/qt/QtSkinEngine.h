#pragma once

#include "platform/SkinEngine.h"
#include "common/SkinFile.h"

class QWidget;

namespace tamberlyn {

// Skin files beside the program give the main window's parts their colours.
class QtSkinEngine final : public SkinEngine {
public:
    void loadSkin(const std::string& path, const std::string& iniFileName) override;
    std::int32_t applyOptions() const override { return options_; }
    void setApplyOptions(std::int32_t options) override { options_ = options; }
    void setApplyMetrics(bool on) override { metrics_ = on; }
    void setApplyColors(bool on) override { colours_ = on; }
    // Colours the window's widgets by kind: group boxes, check boxes, push buttons, the list.
    void applyWindow(WindowHandle window) override;

    bool applyMetrics() const { return metrics_; }
    bool applyColors() const { return colours_; }
    const SkinColours& colours() const { return skin_; }

private:
    void apply(QWidget& window) const;

    SkinColours skin_;
    std::int32_t options_ = 0;
    bool metrics_ = false;
    bool colours_ = false;
};

}  // namespace tamberlyn
