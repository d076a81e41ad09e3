#pragma once
// Qt key events as the key codes and shift mask of the form's KeyDown handlers.

#include <Qt>

namespace tamberlyn {

// The Windows virtual-key code of a Qt key; keys without one keep Qt's code.
int virtualKeyOf(int qtKey);

// 1 Shift, 2 Ctrl, 4 Alt.
int shiftMaskOf(Qt::KeyboardModifiers modifiers);

}  // namespace tamberlyn
