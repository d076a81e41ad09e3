// The settings file as its lines write it (platform/qt/IniLines): any bytes, and files made
// of plain values among other sections and lines.
//
// Properties: every value found has a key that names no subsection, a line that is one of
// the file's, and no blanks around it; a plain value written on a line of its own in the
// program's section reads as written, whatever surrounds it.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <map>
#include <string>

#include "FuzzSupport.h"
#include "platform/qt/IniLines.h"

using namespace tamberlyn;
using fuzz::Require;

namespace {

void CheckShape(const std::string& contents) {
    long lines = 1;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i] == '\n' || (contents[i] == '\r' && (i + 1 == contents.size() || contents[i + 1] != '\n'))) {
            ++lines;
        }
    }
    for (const auto& [key, value] : WrittenValues(contents, "Tamberlyn")) {
        Require(!key.empty() && key.find_first_of("/\\") == std::string::npos, "a key names no subsection");
        Require(value.line >= 1 && value.line <= lines, "a value's line is one of the file's");
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        Require(value.text.empty() || (!blank(value.text.front()) && !blank(value.text.back())),
                "a value has no blanks around it");
    }
}

// Plain text of the fuzzer's choosing: no line end, quote, backslash or blank at either end.
std::string Plain(FuzzedDataProvider& provider, std::size_t length, const char* alsoRefused) {
    std::string text = provider.ConsumeRandomLengthString(length);
    std::string plain;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == '"' || c == '\\' || c == '\0') continue;
        if (std::string(alsoRefused).find(c) != std::string::npos) continue;
        plain += c;
    }
    while (!plain.empty() && (plain.front() == ' ' || plain.front() == '\t')) plain.erase(0, 1);
    while (!plain.empty() && (plain.back() == ' ' || plain.back() == '\t')) plain.pop_back();
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckShape(std::string(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider provider(data, size);
    std::map<std::string, std::string> written;
    std::string file = "; " + Plain(provider, 20, "") + "\n[Other]\nListview=" + Plain(provider, 20, "") + "\n";
    file += "[Tamberlyn]\n";
    for (int n = 0; n < 8 && provider.remaining_bytes() > 0; ++n) {
        const std::string key = Plain(provider, 12, "=[;/%");
        const std::string value = Plain(provider, 64, "");
        if (key.empty()) {
            file += provider.ConsumeBool() ? "\n" : "; " + value + "\n";
            continue;
        }
        written[key] = value;
        file += key + (provider.ConsumeBool() ? " = " : "=") + value + (provider.ConsumeBool() ? "\r\n" : "\n");
    }
    file += "[Afterwards]\n" + Plain(provider, 12, "=[;/%") + "=x\n";
    CheckShape(file);
    const auto values = WrittenValues(file, "Tamberlyn");
    for (const auto& [key, value] : written) {
        const auto found = values.find(key);
        Require(found != values.end() && found->second.text == value, "a plain value reads as written");
    }
    return 0;
}
