#include "shell/SkinFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <sstream>
#include <stdexcept>

namespace tamberlyn {

namespace {

std::string trim(const std::string& s) {
    const auto first = std::find_if_not(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); });
    const auto last = std::find_if_not(s.rbegin(), s.rend(), [](unsigned char c) { return std::isspace(c); }).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::optional<Rgb> parseColour(const std::string& value) {
    if (value.size() == 7 && value[0] == '#' &&
        std::all_of(value.begin() + 1, value.end(), [](unsigned char c) { return std::isxdigit(c); })) {
        const unsigned long rgb = std::stoul(value.substr(1), nullptr, 16);
        return Rgb{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                   static_cast<std::uint8_t>(rgb)};
    }
    std::istringstream parts(value);
    int channel[3];
    char comma1 = 0;
    char comma2 = 0;
    if (parts >> channel[0] >> comma1 >> channel[1] >> comma2 >> channel[2] && comma1 == ',' && comma2 == ',' &&
        (parts >> std::ws).eof() && std::all_of(channel, channel + 3, [](int c) { return c >= 0 && c <= 255; })) {
        return Rgb{static_cast<std::uint8_t>(channel[0]), static_cast<std::uint8_t>(channel[1]),
                   static_cast<std::uint8_t>(channel[2])};
    }
    return std::nullopt;
}

// A piece of a line for a message: its first characters, each one readable. A control
// character, or a byte that begins no well-formed UTF-8, shows as "?": a NUL would end the
// message there, and a stray byte would garble it.
std::string readable(const std::string& text) {
    constexpr std::size_t kCharacters = 32;
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::string shown;
    std::size_t i = 0;
    for (std::size_t characters = 0; i < text.size() && characters < kCharacters; ++characters) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (lead < 0x80) length = 1;
        else if ((lead >> 5) == 0x6) length = 2;
        else if ((lead >> 4) == 0xE) length = 3;
        else if ((lead >> 3) == 0x1E) length = 4;
        bool wellFormed = length > 0 && i + length <= text.size();
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        wellFormed = wellFormed && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!wellFormed) {
            shown += '?';
            ++i;
            continue;
        }
        const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
        if (control) {
            shown += '?';
        } else {
            shown.append(text, i, length);
        }
        i += length;
    }
    if (i < text.size()) shown += "\u2026";
    return shown;
}

}  // namespace

SkinColours ParseSkin(const std::string& text) {
    SkinColours skin;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // a byte-order mark
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '[') continue;
        const std::size_t equals = line.find('=');
        const std::string where = "Skin file, line " + std::to_string(number) + ": ";
        if (equals == std::string::npos) throw std::runtime_error(where + "expected Name = #RRGGBB");
        const std::string key = lower(trim(line.substr(0, equals)));
        const std::optional<Rgb> colour = parseColour(trim(line.substr(equals + 1)));
        if (!colour) throw std::runtime_error(where + "\"" + readable(trim(line.substr(equals + 1))) + "\" is not a colour");
        if (key == "window") skin.window = colour;
        else if (key == "frame") skin.frame = colour;
        else if (key == "checkbox") skin.checkBox = colour;
        else if (key == "button") skin.button = colour;
        else if (key == "buttontext") skin.buttonText = colour;
        else if (key == "list") skin.list = colour;
        else if (key == "listtext") skin.listText = colour;
        else if (key == "text") skin.text = colour;
        else throw std::runtime_error(where + "unknown part \"" + readable(trim(line.substr(0, equals))) + "\"");
    }
    return skin;
}

}  // namespace tamberlyn
