// The program's own UTF-8/UTF-16 conversions against the system's, well-formed text or not.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Utf16.h"

namespace tamberlyn {
namespace {

std::wstring SystemUtf16(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    std::wstring out(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), static_cast<int>(out.size()));
    return out;
}

std::string SystemUtf8(const std::wstring& utf16) {
    if (utf16.empty()) return {};
    const int size = static_cast<int>(utf16.size());
    std::string out(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

TEST(Utf16, ConvertsAsTheSystemDoes) {
    for (const std::string& text : {std::string(), std::string("Calculator"), std::string("with\0NUL", 8),
                                    std::string("Notepad – ünïcode, привет, 漢字, 😀")}) {
        EXPECT_EQ(ToUtf16(text), SystemUtf16(text)) << text;
        EXPECT_EQ(ToUtf8(ToUtf16(text)), text);
    }
    // An unpaired surrogate, wherever it stands, becomes U+FFFD.
    for (const std::wstring& text : {std::wstring(L"Tamberlyn \U0001F600"), std::wstring(L"lone \xD83D here"),
                                     std::wstring(L"\xDE00 first"), std::wstring(L"last \xD83D")}) {
        EXPECT_EQ(ToUtf8(text), SystemUtf8(text));
    }
}

// Systems differ in how many U+FFFD an ill-formed sequence gives (Wine 8 gives two for an
// encoded surrogate); these are one per maximal part that could have begun a character, as
// the Unicode standard recommends. What is well-formed around them stays.
TEST(Utf16, ReplacesWhatIsIllFormedAndKeepsTheRest) {
    EXPECT_EQ(ToUtf16("\xC3(x"), L"\xFFFD(x");
    EXPECT_EQ(ToUtf16("\xE2\x82 cut"), L"\xFFFD cut");
    EXPECT_EQ(ToUtf16("\xF0\x90\x80"), L"\xFFFD");
    EXPECT_EQ(ToUtf16("\xED\xA0\x80"), L"\xFFFD\xFFFD\xFFFD");  // a surrogate, encoded
    EXPECT_EQ(ToUtf16("\xC0\xAF"), L"\xFFFD\xFFFD");              // overlong
    EXPECT_EQ(ToUtf16("\xF4\x90\x80\x80"), L"\xFFFD\xFFFD\xFFFD\xFFFD");  // past U+10FFFF
    EXPECT_EQ(ToUtf16("\x80\xBF é \xFF"), L"\xFFFD\xFFFD \xE9 \xFFFD");
    EXPECT_EQ(ToUtf8(L"a\xD83D" L"b"), "a\xEF\xBF\xBD" "b");
}

}  // namespace
}  // namespace tamberlyn
