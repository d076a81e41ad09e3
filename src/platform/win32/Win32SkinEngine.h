#pragma once
// The program's own small skin engine: the colours of a skin file (see common/SkinFile.h),
// put on a window by subclassing it.

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <vector>

#include "platform/SkinEngine.h"
#include "common/SkinFile.h"

namespace tamberlyn {

class Win32SkinEngine final : public SkinEngine {
public:
    Win32SkinEngine() = default;
    ~Win32SkinEngine() override;
    Win32SkinEngine(const Win32SkinEngine&) = delete;
    Win32SkinEngine& operator=(const Win32SkinEngine&) = delete;

    // Reads the file as UTF-8; iniFileName names a section of multi-skin files, which ours are not.
    void loadSkin(const std::string& path, const std::string& iniFileName) override;
    std::int32_t applyOptions() const override { return options_; }
    void setApplyOptions(std::int32_t options) override { options_ = options; }
    // The file format has no sizes, so metrics change nothing.
    void setApplyMetrics(bool on) override { metrics_ = on; }
    void setApplyColors(bool on) override { colors_ = on; }
    void applyWindow(WindowHandle window) override;

    const SkinColours& colours() const { return skin_; }

private:
    static LRESULT CALLBACK SkinProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT paintButton(NMCUSTOMDRAW& draw) const;
    HBRUSH brush(const Rgb& colour);

    SkinColours skin_;
    bool loaded_ = false;
    std::int32_t options_ = 0;
    bool metrics_ = false;
    bool colors_ = false;
    std::map<COLORREF, HBRUSH> brushes_;
    std::vector<HWND> skinned_;
};

}  // namespace tamberlyn
