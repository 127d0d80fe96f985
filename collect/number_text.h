// Numbers as text, independent of the process locale: reading a leading number and the program's
// fixed number formats.
#pragma once

#include <string>
#include <string_view>

namespace corvelle::collect {

// Full-width ASCII forms (0xA3 0xA1 to 0xA3 0xFE) become ASCII 0x21 to 0x7E and the ideographic space
// (0xA1 0xA1) a blank; every other byte and character is kept.
[[nodiscard]] std::string mapFullWidthToAscii(std::string_view text);

// The leading number of a text, as the C library's strtod reads it in the C locale (leading white
// space, sign, digits, point, exponent, inf, nan, hexadecimal), after mapping full-width forms.
// 0 when the text has no leading number.
[[nodiscard]] double readLeadingNumber(std::string_view text);

// A double rounded to the nearest float; values beyond the float range become infinities.
[[nodiscard]] float toFloat(double value);

// readLeadingNumber stored as a 32-bit float.
[[nodiscard]] float readFloat(std::string_view text);

// The settings-file integer rule: full-width forms mapped, leading blanks skipped, an optional sign,
// then the leading decimal digits; 0 when there are none. Saturates at the int range.
[[nodiscard]] int readLeadingInteger(std::string_view text);

// printf's "%.<precision>g" in the C locale, whatever the process locale.
[[nodiscard]] std::string formatGeneral(double value, int precision);

// The text with at most digits characters left behind its first "."; digits 0 or less cuts the point too.
[[nodiscard]] std::string cutAfterDecimals(std::string_view numberText, int digits);

// Percentage text of a fraction done (0 < fraction <= 1): "%.13g" of fraction * 100, cut to two decimals
// without rounding, then " %". 2/3 gives "66.66 %", 1 gives "100 %".
[[nodiscard]] std::string formatProgressPercent(double fraction);

}  // namespace corvelle::collect
