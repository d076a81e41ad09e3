#pragma once

#include <QColor>

#include "form/Controls.h"

namespace tamberlyn {

// 0x00BBGGRR, or a system colour (0x80000000 plus its index) taken from the application's palette.
QColor toQColor(Colour colour);

}  // namespace tamberlyn
