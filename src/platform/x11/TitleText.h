#pragma once
// Window titles as X11 stores them, turned into well-formed UTF-8.

#include <string>
#include <string_view>

namespace tamberlyn::x11 {

// Each invalid sequence becomes U+FFFD, so nothing later can cut or crash on it.
std::string sanitizeUtf8(std::string_view bytes);

// The STRING type: ISO 8859-1.
std::string latin1ToUtf8(std::string_view bytes);

// COMPOUND_TEXT, best effort: ASCII and Latin-1 segments and UTF-8 segments are kept,
// characters of other character sets are dropped.
std::string compoundTextToUtf8(std::string_view bytes);

// The first count code points of well-formed UTF-8.
std::string firstCodePoints(std::string_view utf8, int count);

}  // namespace tamberlyn::x11
