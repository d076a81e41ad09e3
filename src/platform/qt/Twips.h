#pragma once
// The form gives positions in twips (1/1440 inch); widgets take pixels at the screen's logical DPI.

#include <QRect>
#include <cmath>

#include "form/Controls.h"

namespace tamberlyn {

inline int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

inline QRect twipsToPixels(TwipsRect rect, double logicalDpi) {
    return {twipsToPixels(rect.left, logicalDpi), twipsToPixels(rect.top, logicalDpi),
            twipsToPixels(rect.width, logicalDpi), twipsToPixels(rect.height, logicalDpi)};
}

}  // namespace tamberlyn
