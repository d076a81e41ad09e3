#pragma once

#include <QString>

namespace tamberlyn {

// ${XDG_CONFIG_HOME:-~/.config}. A relative XDG_CONFIG_HOME is ignored, as the XDG
// base directory rules require.
QString configHome();

}  // namespace tamberlyn
