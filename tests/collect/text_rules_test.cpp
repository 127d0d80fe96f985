// The GBK text rules: searches on character boundaries, middles, cuts, positions and replacements.
#include "collect/text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

// GBK bytes used below: "中" D6 D0, "文" CE C4, "丂" 81 40 (its second byte is the ASCII "@"),
// the euro sign 80 (one byte in code page 936).
constexpr const char* kZhongWen = "\xD6\xD0\xCE\xC4";

struct FindCase {
    const char* name;
    std::string source;
    std::string needle;
    int start;
    int expected;
};

TEST(FindText, Cases)
{
    const std::vector<FindCase> cases = {
        {"first occurrence", "abcabc", "bc", 1, 2},
        {"start skips an earlier match", "abcabc", "bc", 3, 5},
        {"start on the match itself", "abcabc", "bc", 5, 5},
        {"start zero searches all", "abc", "a", 0, 1},
        {"negative start searches all", "abc", "a", -5, 1},
        {"start on the last byte", "abc", "c", 3, 3},
        {"start one beyond the end", "abc", "c", 4, -1},
        {"start far beyond the end", "abc", "c", 100, -1},
        {"missing", "abc", "x", 1, -1},
        {"needle longer than text", "ab", "abc", 1, -1},
        {"case-sensitive", "ABC", "b", 1, -1},
        {"empty needle in a text", "abc", "", 1, 1},
        {"empty needle, later start", "abc", "", 2, 1},
        {"empty needle, start beyond the end", "abc", "", 4, -1},
        {"empty needle in an empty text", "", "", 1, -1},
        {"empty text", "", "a", 1, -1},
        {"marker across a character boundary", kZhongWen, "\xD0\xCE", 1, -1},
        {"marker across a boundary, real one later", std::string(kZhongWen) + "a\xD0\xCE", "\xD0\xCE", 1, 6},
        {"two-byte needle on a boundary", kZhongWen, "\xCE\xC4", 1, 3},
        {"ASCII second byte is not a match", "\x81\x40@", "@", 1, 3},
        {"ASCII pair across a boundary", "\x81\x40\x40", "\x40\x40", 1, -1},
        {"marker hidden behind a lead byte", "\xB1<a href=\"x\"", "<a href", 1, -1},
        {"start on a second byte moves on", std::string("\xD6\xD0") + "ab", "a", 2, 3},
        {"start on a second byte never matches it", std::string("\xD6\xD0") + "ab", "\xD0", 2, -1},
        {"euro byte does not swallow the next byte", "\x80@", "@", 1, 2},
        {"euro byte found itself", "\x80\x80", "\x80", 2, 2},
        {"lone lead byte at the end", "ab\x81", "\x81", 1, 3},
        {"lone lead byte after a pair", "\xD6\xD0\x81", "\x81", 1, 3},
        {"0xFF is not a lead byte", "\xFF@", "@", 1, 2},
        {"0xFE is a lead byte", "\xFE@", "@", 1, -1},
        {"odd run of lead bytes", std::string("\x81\x81\x81") + "a", std::string("\x81") + "a", 1, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findText(c.source, c.needle, c.start), c.expected) << c.name;
}

TEST(FindText, DefaultStartSearchesWholeText)
{
    EXPECT_EQ(findText("xyz", "z"), 3);
}

TEST(FindLastText, Cases)
{
    const std::vector<FindCase> cases = {
        {"last of several", "a/b/c", "/", 0, 4},
        {"missing", "abc", "/", 0, -1},
        {"overlapping matches", "aaa", "aa", 0, 2},
        {"last one sits on a second byte", "a/\x81/", "/", 0, 2},
        {"ASCII second byte skipped", "\x81\x40@", "@", 0, 3},
        {"only match is a second byte", "@\x81\x40", "@", 0, 1},
        {"two-byte needle", std::string(kZhongWen) + kZhongWen, "\xD6\xD0", 0, 5},
        {"across a boundary only", kZhongWen, "\xD0\xCE", 0, -1},
        {"euro byte stands alone", "\x80>\x80>", ">", 0, 4},
        {"lone lead byte at the end", std::string("a\x81") + "b\x81", "\x81", 0, 4},
        {"empty needle", "abc", "", 0, 1},
        {"empty text", "", ">", 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findLastText(c.source, c.needle), c.expected) << c.name;
}

struct MiddleCase {
    const char* name;
    int position;
    int count;
    std::string expected;
};

TEST(Middle, Cases)
{
    const std::vector<MiddleCase> cases = {
        {"inside", 2, 3, "bcd"},      {"from the first byte", 1, 1, "a"}, {"stops at the end", 5, 10, "ef"},
        {"last byte", 6, 1, "f"},     {"position zero", 0, 2, ""},        {"negative position", -1, 2, ""},
        {"beyond the end", 7, 1, ""}, {"count zero", 2, 0, ""},           {"negative count", 2, -3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(middle("abcdef", c.position, c.count), c.expected) << c.name;
}

struct CutCase {
    const char* name;
    std::string source;
    std::string startMarker;
    std::string endMarker;
    int start;
    std::string expected;
};

TEST(CutBetween, Cases)
{
    const std::vector<CutCase> cases = {
        {"between the markers", "a[b]c", "[", "]", 1, "b"},
        {"first start marker, next end marker", "[x][y]", "[", "]", 1, "x"},
        {"markers side by side", "a[]c", "[", "]", 1, ""},
        {"no start marker", "abc]", "[", "]", 1, ""},
        {"no end marker", "a[bc", "[", "]", 1, ""},
        {"end marker only before the start", "]a[b", "[", "]", 1, ""},
        {"start marker ends the text", "abc[", "[", "]", 1, ""},
        {"empty start marker cuts from the beginning", "abc]d]", "", "]", 1, "abc"},
        {"empty start marker, no end marker", "abc", "", "]", 1, ""},
        {"start position skips the first pair", "[a][b]", "[", "]", 2, "b"},
        {"start position beyond the end", "[a]", "[", "]", 4, ""},
        {"same quote as both markers", "x\"link\"y", "\"", "\"", 1, "link"},
        {"attribute value", "<a title=\"A\" x=\"B\">", "title=\"", "\"", 1, "A"},
        {"multi-byte markers", "<a href=\"L\">9.87%</td>", "<a href=\"", "%</td>", 1, "L\">9.87"},
        {"start marker across a boundary", std::string(kZhongWen) + "x]", "\xD0\xCE", "]", 1, ""},
        {"end marker across a boundary", "[" + std::string(kZhongWen) + "]", "[", "\xD0\xCE", 1, ""},
        {"two-byte markers", std::string("\xD6\xD0") + "abc\xCE\xC4", "\xD6\xD0", "\xCE\xC4", 1, "abc"},
        {"empty source", "", "[", "]", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutBetween(c.source, c.startMarker, c.endMarker, c.start), c.expected) << c.name;
}

TEST(CutBetween, DefaultStartIsOne)
{
    EXPECT_EQ(cutBetween("<b>x</b><b>y</b>", "<b>", "</b>"), "x");
}

struct PositionsCase {
    const char* name;
    int first;
    int last;
    std::string expected;
};

TEST(SubstringByPositions, Cases)
{
    const std::vector<PositionsCase> cases = {
        {"both included", 1, 2, "ab"},      {"one byte", 3, 3, "c"},
        {"whole text", 1, 4, "abcd"},       {"stops at the end", 2, 10, "bcd"},
        {"failed first search", -1, 2, ""}, {"failed last search", 1, -1, ""},
        {"last before first", 3, 2, ""},    {"first below 1", 0, 2, ""},
        {"first beyond the end", 5, 6, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(substringByPositions("abcd", c.first, c.last), c.expected) << c.name;
}

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string from;
    std::string to;
    std::string expected;
};

TEST(ReplaceAll, Cases)
{
    const std::vector<ReplaceCase> cases = {
        {"every occurrence", "/sh600519/", "/", "", "sh600519"},
        {"market letters", "shsz600519sh", "sh", "", "sz600519"},
        {"left to right, no overlap", "aaa", "aa", "x", "xa"},
        {"longer replacement", "a.b", ".", "::", "a::b"},
        {"missing", "abc", "x", "y", "abc"},
        {"empty from leaves the text", "abc", "", "y", "abc"},
        {"match on a second byte is kept", "\x81sh", "sh", "", "\x81sh"},
        {"match after a pair is replaced", "\x81\x40sh1", "sh", "", std::string("\x81\x40") + "1"},
        {"euro byte does not hide a match", "\x80sh", "sh", "", "\x80"},
        {"empty text", "", "a", "b", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.expected) << c.name;
}

}  // namespace
}  // namespace corvelle::collect
