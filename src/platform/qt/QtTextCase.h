#pragma once

#include "platform/TextCase.h"

namespace tamberlyn {

// Qt's full Unicode upper-casing ("école" becomes "ÉCOLE", "straße" becomes "STRASSE").
class QtTextCase final : public TextCase {
public:
    std::string toUpper(std::string_view utf8) const override;
};

}  // namespace tamberlyn
