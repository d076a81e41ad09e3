#include "common/SkinFile.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>

#include "common/Utf8.h"

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

// What the file says, as a message can show it: a file of any bytes may come here.
std::string quoted(const std::string& text) { return "\"" + Utf8Printable(text, 40) + "\""; }

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
        if (!colour) throw std::runtime_error(where + quoted(trim(line.substr(equals + 1))) + " is not a colour");
        if (key == "window") skin.window = colour;
        else if (key == "frame") skin.frame = colour;
        else if (key == "checkbox") skin.checkBox = colour;
        else if (key == "button") skin.button = colour;
        else if (key == "buttontext") skin.buttonText = colour;
        else if (key == "list") skin.list = colour;
        else if (key == "listtext") skin.listText = colour;
        else if (key == "text") skin.text = colour;
        else throw std::runtime_error(where + "unknown part " + quoted(trim(line.substr(0, equals))));
    }
    return skin;
}

}  // namespace tamberlyn
