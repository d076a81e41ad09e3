// The skin file beside the program: any bytes.
//
// Properties: a file is either read or refused with a message that names one of its lines
// and is fit to show (well-formed UTF-8, no control characters, short), and nothing else
// escapes; the colours read, written out again in either notation, read the same.

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "FuzzSupport.h"
#include "common/SkinFile.h"

using namespace tamberlyn;
using fuzz::Require;

namespace {

bool Same(const SkinColours& a, const SkinColours& b) {
    return a.window == b.window && a.frame == b.frame && a.checkBox == b.checkBox && a.button == b.button &&
           a.buttonText == b.buttonText && a.list == b.list && a.listText == b.listText && a.text == b.text;
}

std::string Written(const SkinColours& skin) {
    std::string text = "; written again\n[Tamberlyn Skin]\n";
    int n = 0;
    const auto line = [&](const char* key, const std::optional<Rgb>& colour) {
        if (!colour) return;
        char value[32];
        if (++n % 2 == 0) {
            std::snprintf(value, sizeof value, "#%02X%02x%02X", colour->red, colour->green, colour->blue);
        } else {
            std::snprintf(value, sizeof value, "%d, %d,%d", colour->red, colour->green, colour->blue);
        }
        text += std::string(key) + " = " + value + "\n";
    };
    line("Window", skin.window);
    line("frame", skin.frame);
    line("CheckBox", skin.checkBox);
    line("BUTTON", skin.button);
    line("ButtonText", skin.buttonText);
    line("List", skin.list);
    line("ListText", skin.listText);
    line("Text", skin.text);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    long lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    if (!text.empty() && text.back() != '\n') ++lines;

    try {
        const SkinColours skin = ParseSkin(text);
        Require(Same(ParseSkin(Written(skin)), skin), "the colours read, written again, read the same");
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        const std::string head = "Skin file, line ";
        Require(message.rfind(head, 0) == 0, "a mistake is reported with its line");
        const long line = std::strtol(message.c_str() + head.size(), nullptr, 10);
        Require(line >= 1 && line <= lines, "the line reported is one of the file's");
        Require(fuzz::ValidUtf8(message), "the message is well-formed UTF-8");
        for (unsigned char c : message) Require(c >= 0x20 && c != 0x7F, "the message holds no control character");
        Require(message.size() <= 200, "the message is short");
    }
    return 0;
}
