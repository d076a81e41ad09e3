#include "platform/qt/Colours.h"

#include <QApplication>
#include <QPalette>

namespace tamberlyn {

namespace {
constexpr Colour kSystemColour = 0x80000000;

// The system colours the form can name, and the palette role that plays each part here.
QPalette::ColorRole roleOf(Colour index) {
    switch (index) {
        case 5: return QPalette::Base;         // window background
        case 8: return QPalette::Text;         // window text
        case 15: return QPalette::Button;      // button face
        case 18: return QPalette::ButtonText;  // button text
        default: return QPalette::Window;
    }
}
}  // namespace

QColor toQColor(Colour colour) {
    if ((colour & kSystemColour) != 0) return QApplication::palette().color(roleOf(colour & 0xFF));
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace tamberlyn
