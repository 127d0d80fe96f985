// The settings-file reader and writer over arbitrary file bytes: no crash, and what is written is what
// is read back afterwards.
#include "app/settings_file.h"
#include "collect/charset.h"
#include "collect/web_address.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string section = corvelle::collect::utf8ToGbk("设置");
    static const std::string key = corvelle::collect::utf8ToGbk("颜色");
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    (void)corvelle::app::themeFromSettings(text);
    const auto addresses = corvelle::app::addressesFromSettings(text);
    if (!corvelle::collect::isWebAddress(addresses.fundSiteBase) ||
        !corvelle::collect::isWebAddress(addresses.quoteService))
        std::abort();

    const std::int32_t theme = static_cast<std::int32_t>(size % 7) - 1;
    const std::string written = corvelle::app::withThemeSetting(text, theme);
    if (corvelle::app::themeFromSettings(written) != theme)
        std::abort();
    const auto value = corvelle::app::findIniValue(written, section, key);
    if (!value || *value != std::to_string(theme))
        std::abort();
    return 0;
}
