// The colour table of the three themes; colours are 0x00BBGGRR values (red in the lowest byte).
#pragma once

#include <cstdint>

namespace corvelle::app {

// One theme: a colour for each of the seven roles.
struct ThemeColours {
    std::uint32_t windowBackground = 0;
    std::uint32_t buttonBackground = 0;
    std::uint32_t buttonText = 0;
    std::uint32_t captionBackground = 0;
    std::uint32_t captionText = 0;
    std::uint32_t fieldBackground = 0;
    std::uint32_t fieldText = 0;

    friend bool operator==(const ThemeColours&, const ThemeColours&) = default;
};

// The colours of theme 1, 2 or 3; every other number gives all seven black.
[[nodiscard]] ThemeColours themeColours(std::int32_t theme);

}  // namespace corvelle::app
