// The three themes' colours.
#include "app/theme_colours.h"

namespace corvelle::app {

ThemeColours themeColours(std::int32_t theme)
{
    // Field order: window bg, button bg, button text, caption bg, caption text, field bg, field text.
    switch (theme) {
    case 1:
        return {0x000000, 0x000000, 0x2A69FF, 0x000000, 0xC0C0C0, 0x2A69FF, 0x000000};
    case 2:
        return {0x737E50, 0x899760, 0x000000, 0x737E50, 0xC0C0C0, 0xBAC29E, 0x000000};
    case 3:
        return {0x000000, 0xDFFE01, 0x3A3F00, 0x000000, 0xFAFFF6, 0x3B2E03, 0xD5F710};
    default:
        return {};
    }
}

}  // namespace corvelle::app
