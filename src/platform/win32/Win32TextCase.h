#pragma once

#include "platform/TextCase.h"

namespace tamberlyn {

// LCMapStringEx with LCMAP_UPPERCASE in the user's locale.
class Win32TextCase final : public TextCase {
public:
    std::string toUpper(std::string_view utf8) const override;
};

}  // namespace tamberlyn
