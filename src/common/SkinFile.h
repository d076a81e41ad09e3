#pragma once
// The skin file beside the program: the colours of the main window's parts.
//
//   ; comments start with a semicolon
//   [Tamberlyn Skin]
//   Window     = #D4D0C8     the window's surface
//   Frame      = #D4D0C8     group boxes
//   CheckBox   = #D4D0C8
//   Button     = #3A6EA5     push button face
//   ButtonText = #FFFFFF
//   List       = #FFFFFF     the watch list
//   ListText   = #000000
//   Text       = #000000     captions of frames and check boxes
//
// Colours are #RRGGBB or R,G,B. Every key is optional; an absent one keeps the
// part's own colour.

#include <cstdint>
#include <optional>
#include <string>

namespace tamberlyn {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct SkinColours {
    std::optional<Rgb> window;
    std::optional<Rgb> frame;
    std::optional<Rgb> checkBox;
    std::optional<Rgb> button;
    std::optional<Rgb> buttonText;
    std::optional<Rgb> list;
    std::optional<Rgb> listText;
    std::optional<Rgb> text;
};

// Parses a skin file's text (UTF-8). Throws std::runtime_error naming the line of a mistake.
SkinColours ParseSkin(const std::string& text);

}  // namespace tamberlyn
