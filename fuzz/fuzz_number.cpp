// The number reader and the number formats over arbitrary text: no crash, no undefined behaviour.
#include "collect/number_text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = corvelle::collect::readLeadingNumber(text);
    (void)corvelle::collect::readFloat(text);
    (void)corvelle::collect::readLeadingInteger(text);
    (void)corvelle::collect::mapFullWidthToAscii(text);
    (void)corvelle::collect::cutAfterDecimals(text, static_cast<int>(size % 5) - 1);
    const std::string formatted = corvelle::collect::formatGeneral(value, 13);
    // What the program writes it must read back to the same value.
    if (std::isfinite(value)) {
        const double again = corvelle::collect::readLeadingNumber(corvelle::collect::formatGeneral(value, 17));
        if (again != value)
            std::abort();
    }
    if (value > 0 && value <= 1)
        (void)corvelle::collect::formatProgressPercent(value);
    return formatted.empty() ? -1 : 0;
}
