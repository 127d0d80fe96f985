// The GBK text search and cuts over arbitrary texts and markers: results stay inside the text, and a
// match never starts on the second byte of a two-byte character.
#include "collect/text_rules.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// True when position (1-based) starts a character when the text is walked from its beginning.
bool startsCharacter(std::string_view text, int position)
{
    int index = 0;
    while (index < position - 1) {
        const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(index)]);
        index += corvelle::collect::isLeadByte(byte) && index + 1 < static_cast<int>(text.size()) ? 2 : 1;
    }
    return index == position - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    // First byte: where the needles end; second: a start position; the rest: needle, end marker, text.
    const std::size_t needleLength = data[0] % 8;
    const int start = static_cast<int>(data[1]) - 8;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string_view needle = rest.substr(0, std::min(needleLength, rest.size()));
    const std::string_view afterNeedle = rest.substr(needle.size());
    const std::string_view endMarker = afterNeedle.substr(0, std::min<std::size_t>(2, afterNeedle.size()));
    const std::string_view text = afterNeedle.substr(endMarker.size());

    const int found = corvelle::collect::findText(text, needle, start);
    if (found != -1) {
        if (found < 1 || found + static_cast<int>(needle.size()) - 1 > static_cast<int>(text.size()))
            std::abort();
        if (text.substr(static_cast<std::size_t>(found - 1), needle.size()) != needle)
            std::abort();
        if (!startsCharacter(text, found))
            std::abort();
    }
    const int last = corvelle::collect::findLastText(text, needle);
    if (!needle.empty() && last != -1 && (found == -1 || last < found) && start <= 1)
        std::abort();
    const std::string cut = corvelle::collect::cutBetween(text, needle, endMarker, start);
    if (cut.size() > text.size())
        std::abort();
    (void)corvelle::collect::middle(text, start, static_cast<int>(needleLength) - 2);
    (void)corvelle::collect::substringByPositions(text, start, start + static_cast<int>(needleLength));
    (void)corvelle::collect::replaceAll(text, needle, endMarker);
    return 0;
}
