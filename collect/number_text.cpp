// Numbers as text, independent of the process locale.
#include "collect/number_text.h"

#include "collect/text_rules.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <vector>

namespace corvelle::collect {

namespace {

constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kIdeographicLead = 0xA1;
constexpr unsigned char kIdeographicSpaceTrail = 0xA1;
constexpr unsigned char kFullWidthFirst = 0xA1;   // trail byte of the full-width "!"
constexpr unsigned char kFullWidthLast = 0xFE;    // trail byte of the full-width "~"
constexpr unsigned char kFullWidthOffset = 0x80;  // trail byte minus the ASCII byte it stands for

// The C locale, made once: strtod_l reads with it whatever setlocale the process made.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string mapFullWidthToAscii(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    std::size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<unsigned char>(text[index]);
        if (!isLeadByte(lead) || index + 1 == text.size()) {
            result.push_back(text[index]);
            ++index;
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[index + 1]);
        if (lead == kFullWidthLead && trail >= kFullWidthFirst && trail <= kFullWidthLast) {
            result.push_back(static_cast<char>(trail - kFullWidthOffset));
        } else if (lead == kIdeographicLead && trail == kIdeographicSpaceTrail) {
            result.push_back(' ');
        } else {
            result.append(text.substr(index, 2));
        }
        index += 2;
    }
    return result;
}

double readLeadingNumber(std::string_view text)
{
    // strtod needs a terminated text; a zero byte inside ends the number as it would in C.
    const std::string mapped = mapFullWidthToAscii(text);
    const locale_t locale = cLocale();
    if (locale == static_cast<locale_t>(nullptr))
        return 0.0;
    char* end = nullptr;
    const double value = strtod_l(mapped.c_str(), &end, locale);
    return end == mapped.c_str() ? 0.0 : value;
}

float toFloat(double value)
{
    // Beyond this the nearest float is infinity (FLT_MAX plus half its last place, ties to even);
    // converting such a double directly would be undefined behaviour in C++.
    constexpr double kRoundsToInfinity = 0x1.ffffffp127;
    if (value >= kRoundsToInfinity)
        return std::numeric_limits<float>::infinity();
    if (value <= -kRoundsToInfinity)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

float readFloat(std::string_view text)
{
    return toFloat(readLeadingNumber(text));
}

int readLeadingInteger(std::string_view text)
{
    const std::string mapped = mapFullWidthToAscii(text);
    std::size_t index = 0;
    while (index < mapped.size() && isCBlank(mapped[index]))
        ++index;
    bool negative = false;
    if (index < mapped.size() && (mapped[index] == '+' || mapped[index] == '-')) {
        negative = mapped[index] == '-';
        ++index;
    }
    // Accumulate towards the sign so that INT_MIN itself is reachable.
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    while (index < mapped.size() && mapped[index] >= '0' && mapped[index] <= '9') {
        value = value * 10 + (mapped[index] - '0');
        if (value > kLimit)
            value = kLimit;
        ++index;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string formatGeneral(double value, int precision)
{
    // printf treats a negative precision as missing (6); to_chars follows printf's %g otherwise.
    const int digits = precision < 0 ? 6 : precision;
    std::vector<char> buffer(64);
    for (;;) {
        const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                                std::chars_format::general, digits);
        if (error == std::errc())
            return std::string(buffer.data(), end);
        buffer.resize(buffer.size() * 2);
    }
}

std::string cutAfterDecimals(std::string_view numberText, int digits)
{
    const int point = findText(numberText, ".");
    if (point == -1)
        return std::string(numberText);
    if (digits > 0) {
        const long long last = static_cast<long long>(point) + digits;
        return substringByPositions(numberText, 1, last > INT_MAX ? INT_MAX : static_cast<int>(last));
    }
    return substringByPositions(numberText, 1, point - 1);
}

std::string formatProgressPercent(double fraction)
{
    return cutAfterDecimals(formatGeneral(fraction * 100.0, 13), 2) + " %";
}

}  // namespace corvelle::collect
