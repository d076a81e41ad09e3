#include "form/Appearance.h"

#include "form/Form1.h"
#include "common/ProgramFolder.h"
#include "common/Utf8.h"

namespace tamberlyn {

std::string ShortTitle(std::string name) {
    do {
        const std::size_t space = name.rfind(' ');
        if (space == std::string::npos) break;
        name.erase(space);
    } while (Utf8Length(name) > 40);
    return name;
}

void Form1::SetAppTitle() { AppTitle = ShortTitle(kProductName); }

void Form1::ApplySkin() {
    const std::string skinFile = ProgramFolderFile(platform_.files, "\\x\\o.cjs");
    if (!platform_.files.isOrdinaryFile(skinFile)) return;
    window.setBackColour(kButtonFace);
    // What the skin paints behind: frames and check boxes; buttons and the list keep their own.
    for (const FormControl& entry : controls()) {
        if (entry.kind == ControlKind::Frame || entry.kind == ControlKind::CheckBox) {
            entry.control->setBackColour(kButtonFace);
        }
    }
    SkinEngine& skin = platform_.skin;
    skin.loadSkin(skinFile, "");
    skin.setApplyOptions(skin.applyOptions() | kSkinApplyFrame);
    skin.setApplyMetrics(true);
    skin.setApplyColors(true);
    skin.applyWindow(window.handle());
}

void Form1::PushButton_MouseMove() { window.setMousePointer(kPointerCustom); }

void Form1::Surface_MouseMove() { window.setMousePointer(kPointerDefault); }

}  // namespace tamberlyn
