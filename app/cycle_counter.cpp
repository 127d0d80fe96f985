// CycleCounter's two operations.
#include "app/cycle_counter.h"

namespace corvelle::app {

bool CycleCounter::set(std::int32_t maximum, std::int32_t current)
{
    if (maximum < 1 || current > maximum)
        return false;
    m_maximum = maximum;
    m_current = current;
    return true;
}

std::int32_t CycleCounter::step(bool forward)
{
    // Wide arithmetic, so a current value at either end of the int range wraps instead of overflowing.
    std::int64_t next = std::int64_t{m_current} + (forward ? 1 : -1);
    if (forward && next > m_maximum)
        next = 1;
    else if (!forward && next < 1)
        next = m_maximum;
    m_current = static_cast<std::int32_t>(next);
    return m_current;
}

}  // namespace corvelle::app
