// Character-set conversion through glibc iconv, with our own UTF-8 validation so that bad input bytes and
// characters the target lacks both turn into "?" instead of ending the conversion.
#include "collect/charset.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace corvelle::collect {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char kReplacement = '?';
constexpr std::size_t kPieceBytes = 128;
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);  // NOLINT: iconv's own error value

// One iconv conversion descriptor; move-only, closed with the object.
class IconvHandle {
public:
    IconvHandle(const std::string& target, const std::string& source)
        : m_handle(iconv_open(target.c_str(), source.c_str()))
    {
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_handle);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    IconvHandle(IconvHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, kNoConverter)) {}
    IconvHandle& operator=(IconvHandle&& other) noexcept
    {
        if (this != &other) {
            if (valid())
                iconv_close(m_handle);
            m_handle = std::exchange(other.m_handle, kNoConverter);
        }
        return *this;
    }

    [[nodiscard]] bool valid() const { return m_handle != kNoConverter; }
    [[nodiscard]] iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        result += asciiLower(c);
    return result;
}

// The iconv name for a charset as callers write it. GB2312 is widened to GBK (code page 936): stock names
// use characters GB2312 lacks, and GBK is a superset with the same bytes for what GB2312 has.
std::string iconvName(std::string_view charset)
{
    const std::string name = lowered(charset);
    if (name == "gb2312" || name == "gbk" || name == "cp936" || name == "936" || name == "windows-936")
        return "GBK";
    if (name == "utf-8" || name == "utf8")
        return "UTF-8";
    return std::string(charset);
}

// What a UTF-8 lead byte promises: the sequence length and the allowed range of the first continuation
// byte (narrower after E0, ED, F0 and F4, which rules out overlong forms, surrogates and code points above
// U+10FFFF). Length 0 for a byte that cannot start a character.
struct SequenceShape {
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

SequenceShape shapeOf(unsigned char lead)
{
    if (lead < 0x80)
        return {1, 0x80, 0xBF};
    if (lead >= 0xC2 && lead <= 0xDF)
        return {2, 0x80, 0xBF};
    if (lead == 0xE0)
        return {3, 0xA0, 0xBF};
    if (lead == 0xED)
        return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF)
        return {3, 0x80, 0xBF};
    if (lead == 0xF0)
        return {4, 0x90, 0xBF};
    if (lead == 0xF4)
        return {4, 0x80, 0x8F};
    if (lead >= 0xF1 && lead <= 0xF3)
        return {4, 0x80, 0xBF};
    return {};
}

// How many bytes from bytes[at] belong to the character there: its lead byte and the continuation bytes
// that fit it. Equal to the shape's length for a valid character; for an invalid one it is the part that
// one "?" replaces (a character cut short gives one "?", not one per byte).
std::size_t matchedLength(std::string_view bytes, std::size_t at)
{
    const SequenceShape shape = shapeOf(static_cast<unsigned char>(bytes[at]));
    if (shape.length <= 1)
        return 1;
    std::size_t matched = 1;
    while (matched < shape.length && at + matched < bytes.size()) {
        const auto next = static_cast<unsigned char>(bytes[at + matched]);
        const unsigned char low = matched == 1 ? shape.low : 0x80;
        const unsigned char high = matched == 1 ? shape.high : 0xBF;
        if (next < low || next > high)
            break;
        ++matched;
    }
    return matched;
}

// Length of the valid UTF-8 character at bytes[at], or 0 when the bytes there are not one.
std::size_t validSequenceLength(std::string_view bytes, std::size_t at)
{
    const SequenceShape shape = shapeOf(static_cast<unsigned char>(bytes[at]));
    return shape.length != 0 && matchedLength(bytes, at) == shape.length ? shape.length : 0;
}

// The UTF-8 input with every invalid sequence replaced by "?", so iconv only ever sees valid UTF-8.
std::string sanitizedUtf8(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) < 0x80) {
            result += bytes[at++];
            continue;
        }
        const std::size_t length = validSequenceLength(bytes, at);
        if (length > 0) {
            result.append(bytes.substr(at, length));
            at += length;
        } else {
            result += kReplacement;
            at += matchedLength(bytes, at);
        }
    }
    return result;
}

// Length of the character iconv stopped on, so one "?" replaces it. For UTF-8 input (already valid) the
// lead byte tells; for other charsets one byte is skipped at a time.
std::size_t stuckCharacterLength(std::string_view rest, bool sourceIsUtf8)
{
    if (!sourceIsUtf8 || rest.empty())
        return 1;
    const std::size_t length = validSequenceLength(rest, 0);
    return length == 0 ? 1 : length;
}

std::string convertWith(const IconvHandle& converter, std::string_view input, bool sourceIsUtf8)
{
    std::string output(input.size() * 2 + 16, '\0');
    std::size_t written = 0;
    // iconv takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();

    const auto ensureRoom = [&](std::size_t room) {
        if (output.size() - written < room)
            output.resize(output.size() * 2 + room);
    };
    const auto replaceCharacter = [&](std::size_t length) {
        const std::size_t skip = std::min(inLeft, length);
        in += skip;
        inLeft -= skip;
        ensureRoom(1);
        output[written++] = kReplacement;
    };

    while (inLeft > 0) {
        // glibc converts ahead in an internal buffer and, on a character the target lacks, converts the
        // whole piece again to find it: small pieces keep a body full of such characters linear.
        const std::size_t offered = std::min(inLeft, kPieceBytes);
        std::size_t pieceLeft = offered;
        char* out = output.data() + written;
        std::size_t outLeft = output.size() - written;
        const std::size_t rc = iconv(converter.get(), &in, &pieceLeft, &out, &outLeft);
        inLeft -= offered - pieceLeft;
        written = output.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            ensureRoom(output.size());
        } else if (errno == EILSEQ) {
            // A character the target cannot hold (or, for non-UTF-8 input, a byte that starts none).
            replaceCharacter(stuckCharacterLength(std::string_view(in, inLeft), sourceIsUtf8));
        } else if (errno == EINVAL) {
            // A character cut short by the end of the piece is completed by the next piece, which starts
            // with it. Cut short by the end of the input (or too long for any piece), it is replaced.
            if (pieceLeft == inLeft || pieceLeft == offered)
                replaceCharacter(1);
        } else {
            return {};
        }
    }
    // Flush any shift state (none for GBK or UTF-8, but cheap and correct for stateful charsets).
    for (;;) {
        char* out = output.data() + written;
        std::size_t outLeft = output.size() - written;
        const std::size_t rc = iconv(converter.get(), nullptr, nullptr, &out, &outLeft);
        written = output.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG)
            return {};
        ensureRoom(output.size());
    }
    output.resize(written);
    return output;
}

}  // namespace

std::string convertCharset(std::string_view bytes, std::string_view sourceCharset,
                           std::string_view targetCharset)
{
    const std::string source = iconvName(sourceCharset);
    const std::string target = iconvName(targetCharset);
    const IconvHandle converter(target, source);
    if (!converter.valid())
        return {};
    if (bytes.empty())
        return {};
    if (source == "UTF-8") {
        if (bytes.starts_with(kUtf8Bom))
            bytes.remove_prefix(kUtf8Bom.size());
        return convertWith(converter, sanitizedUtf8(bytes), true);
    }
    return convertWith(converter, bytes, false);
}

std::string utf8ToGbk(std::string_view utf8)
{
    return convertCharset(utf8, "utf-8", "gbk");
}

std::string gbkToUtf8(std::string_view gbk)
{
    return convertCharset(gbk, "gbk", "utf-8");
}

}  // namespace corvelle::collect
