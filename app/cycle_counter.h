// CycleCounter: a value that steps through 1 .. maximum and wraps around, used for the colour theme.
#pragma once

#include <cstdint>

namespace corvelle::app {

class CycleCounter {
public:
    // Stores both unless maximum is below 1 or current above maximum; then returns false and changes
    // nothing. A current value below 1 is accepted.
    bool set(std::int32_t maximum, std::int32_t current);

    // Forward adds 1 and wraps past maximum to 1; back subtracts 1 and wraps below 1 to maximum.
    // Returns the new current value.
    std::int32_t step(bool forward);

    [[nodiscard]] std::int32_t maximum() const { return m_maximum; }
    [[nodiscard]] std::int32_t current() const { return m_current; }

private:
    std::int32_t m_maximum = 0;
    std::int32_t m_current = 0;
};

}  // namespace corvelle::app
