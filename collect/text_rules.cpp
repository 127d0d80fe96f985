// Byte-position text rules for GBK texts: searches on character boundaries, cuts and middles.
#include "collect/text_rules.h"

#include <cstddef>
#include <limits>

namespace corvelle::collect {

namespace {

// Character boundaries are fixed by walking the text from its first byte: a lead byte takes the byte
// after it along, unless it is the last byte of the text, where it stands alone.
class BoundaryWalker {
public:
    explicit BoundaryWalker(std::string_view text) : m_text(text) {}

    // Index (0-based) of the first boundary at or after index; the text's size when there is none.
    std::size_t boundaryAtOrAfter(std::size_t index)
    {
        while (m_next < index)
            step();
        return m_next;
    }

    // Index of the boundary that follows the character starting at index (index must be a boundary).
    std::size_t nextBoundary(std::size_t index)
    {
        boundaryAtOrAfter(index);
        step();
        return m_next;
    }

private:
    void step()
    {
        if (m_next >= m_text.size())
            return;
        const bool twoBytes =
            isLeadByte(static_cast<unsigned char>(m_text[m_next])) && m_next + 1 < m_text.size();
        m_next += twoBytes ? 2 : 1;
    }

    std::string_view m_text;
    std::size_t m_next = 0;  // the walk stands on this boundary
};

// Texts beyond the int range cannot be addressed by int positions; such a text finds nothing.
bool addressable(std::string_view text)
{
    return text.size() < static_cast<std::size_t>(std::numeric_limits<int>::max());
}

// 0-based index of the first match at or after from that starts on a boundary, or npos.
std::size_t findOnBoundary(std::string_view source, std::string_view needle, std::size_t from)
{
    BoundaryWalker walker(source);
    std::size_t index = walker.boundaryAtOrAfter(from);
    while (index < source.size()) {
        const std::size_t candidate = source.find(needle, index);
        if (candidate == std::string_view::npos)
            return std::string_view::npos;
        const std::size_t boundary = walker.boundaryAtOrAfter(candidate);
        if (boundary == candidate)
            return candidate;
        // The candidate sits on a second byte; the next try starts on the following boundary.
        index = boundary;
    }
    return std::string_view::npos;
}

}  // namespace

int findText(std::string_view source, std::string_view needle, int start)
{
    if (source.empty() || !addressable(source))
        return -1;
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= source.size())
        return -1;
    if (needle.empty())
        return 1;
    const std::size_t found = findOnBoundary(source, needle, from);
    return found == std::string_view::npos ? -1 : static_cast<int>(found) + 1;
}

int findLastText(std::string_view source, std::string_view needle)
{
    if (source.empty() || !addressable(source))
        return -1;
    if (needle.empty())
        return 1;
    int last = -1;
    BoundaryWalker walker(source);
    std::size_t index = 0;
    while (index < source.size()) {
        const std::size_t candidate = source.find(needle, index);
        if (candidate == std::string_view::npos)
            break;
        const std::size_t boundary = walker.boundaryAtOrAfter(candidate);
        if (boundary == candidate) {
            last = static_cast<int>(candidate) + 1;
            index = walker.nextBoundary(candidate);
        } else {
            index = boundary;
        }
    }
    return last;
}

std::string middle(std::string_view text, int position, int count)
{
    if (position < 1 || count <= 0 || static_cast<std::size_t>(position) > text.size())
        return {};
    return std::string(text.substr(static_cast<std::size_t>(position) - 1, static_cast<std::size_t>(count)));
}

std::string cutBetween(std::string_view source, std::string_view startMarker, std::string_view endMarker,
                       int start)
{
    const int markerPosition = findText(source, startMarker, start);
    if (markerPosition == -1)
        return {};
    const long long cutStart =
        static_cast<long long>(markerPosition) + static_cast<long long>(startMarker.size());
    if (cutStart > static_cast<long long>(source.size()))
        return {};  // the marker ends the text: no end marker can follow it
    const int endPosition = findText(source, endMarker, static_cast<int>(cutStart));
    if (endPosition == -1)
        return {};
    return middle(source, static_cast<int>(cutStart), endPosition - static_cast<int>(cutStart));
}

std::string substringByPositions(std::string_view text, int first, int last)
{
    if (first == -1 || last == -1 || last < first)
        return {};
    const long long count = static_cast<long long>(last) - first + 1;
    const int clamped =
        count > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(count);
    return middle(text, first, clamped);
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    BoundaryWalker walker(text);
    std::size_t copied = 0;
    std::size_t index = 0;
    while (index < text.size()) {
        const std::size_t candidate = text.find(from, index);
        if (candidate == std::string_view::npos)
            break;
        const std::size_t boundary = walker.boundaryAtOrAfter(candidate);
        if (boundary != candidate) {
            index = boundary;
            continue;
        }
        result.append(text.substr(copied, candidate - copied));
        result.append(to);
        copied = candidate + from.size();
        // Go on at the first boundary behind the replaced text.
        index = walker.boundaryAtOrAfter(copied);
    }
    result.append(text.substr(copied));
    return result;
}

}  // namespace corvelle::collect
