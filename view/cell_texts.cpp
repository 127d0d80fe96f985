// Cell texts of the results list, independent of the process locale.
#include "view/cell_texts.h"

#include "collect/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace corvelle::view {

namespace {

constexpr int kSignificantDigits = 6;

// The magnitude's six leading significant digits rounded half away from zero, as a decimal value.
// A float's exact decimal expansion has at most 112 significant digits, so this many shows it whole
// and the rounding looks at the true digits, never at an already rounded text.
double roundToSignificantDigits(double magnitude)
{
    constexpr int kExactDigits = 120;
    std::array<char, kExactDigits + 16> exact{};
    const auto [end, error] = std::to_chars(exact.data(), exact.data() + exact.size(), magnitude,
                                            std::chars_format::scientific, kExactDigits);
    if (error != std::errc())
        return magnitude;
    const std::string_view text(exact.data(), static_cast<std::size_t>(end - exact.data()));
    // text is "d.ddd...e±xx": the first digit, the point, the others, then the exponent.
    const std::size_t exponentAt = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + exponentAt + 1 + (text[exponentAt + 1] == '+' ? 1 : 0),
                    text.data() + text.size(), exponent);
    long digits = text[0] - '0';
    for (std::size_t i = 2; i < 2 + kSignificantDigits - 1; ++i)
        digits = digits * 10 + (text[i] - '0');
    // The remainder is at least half a unit of the sixth digit exactly when the seventh is 5 or more.
    if (text[2 + kSignificantDigits - 1] >= '5')
        ++digits;
    // digits * 10^(exponent - 5), read back through the text so that the nearest double is exact.
    std::array<char, 48> decimal{};
    auto [digitsEnd, digitsError] = std::to_chars(decimal.data(), decimal.data() + decimal.size(), digits);
    if (digitsError != std::errc())
        return magnitude;
    *digitsEnd++ = 'e';
    const auto [decimalEnd, exponentError] =
        std::to_chars(digitsEnd, decimal.data() + decimal.size(), exponent - (kSignificantDigits - 1));
    if (exponentError != std::errc())
        return magnitude;
    double rounded = magnitude;
    std::from_chars(decimal.data(), decimalEnd, rounded);
    return rounded;
}

}  // namespace

std::string floatToText(float value)
{
    if (!std::isfinite(value))
        return collect::formatGeneral(value, kSignificantDigits);
    if (value == 0.0F)
        return "0";
    const double rounded = roundToSignificantDigits(std::fabs(static_cast<double>(value)));
    return collect::formatGeneral(std::signbit(value) ? -rounded : rounded, kSignificantDigits);
}

collect::CellRow cellTexts(const collect::HoldingRecord& record)
{
    return {record.code, record.name, floatToText(record.price), floatToText(record.ratio),
            std::to_string(record.repeatCount)};
}

}  // namespace corvelle::view
