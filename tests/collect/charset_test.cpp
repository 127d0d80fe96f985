// UTF-8 to GBK and back: known GBK bytes, byte-order marks, invalid input and characters GBK lacks.
#include "collect/charset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

using namespace std::string_literals;

struct ConversionCase {
    const char* name;
    std::string input;
    std::string expected;
};

void PrintTo(const ConversionCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string hex(const std::string& bytes)
{
    static const char* const kDigits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
        out += ' ';
    }
    return out;
}

class Utf8ToGbk : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Utf8ToGbk, GivesExpectedBytes)
{
    const ConversionCase& c = GetParam();
    const std::string result = utf8ToGbk(c.input);
    EXPECT_EQ(result, c.expected) << "got " << hex(result) << "expected " << hex(c.expected);
}

// GBK bytes from the code page 936 table.
INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToGbk,
    ::testing::Values(
        ConversionCase{"HoldingsMarker", "持仓占比", "\xB3\xD6\xB2\xD6\xD5\xBC\xB1\xC8"},
        ConversionCase{"DateMarker", "持仓截止日期:", "\xB3\xD6\xB2\xD6\xBD\xD8\xD6\xB9\xC8\xD5\xC6\xDA:"},
        ConversionCase{"AsciiQuoteReplyUnchanged", R"({"rc":0,"data":{"f43":12.34,"f57":"600519"}})",
                       R"({"rc":0,"data":{"f43":12.34,"f57":"600519"}})"},
        ConversionCase{"Empty", "", ""},
        ConversionCase{"ByteOrderMarkDropped", "\xEF\xBB\xBF<html>", "<html>"},
        ConversionCase{"OnlyAByteOrderMark", "\xEF\xBB\xBF", ""},
        ConversionCase{"ByteOrderMarkInsideIsACharacterGbkLacks",
                       "a\xEF\xBB\xBF"
                       "b",
                       "a?b"},
        ConversionCase{"CharacterOnlyGbkHas", "昇兴股份", "\x95\x4E\xD0\xCB\xB9\xC9\xB7\xDD"},
        ConversionCase{"EuroSignIsTheSingleByte80",
                       "\xE2\x82\xAC"
                       "5",
                       "\x80"
                       "5"},
        ConversionCase{"FullWidthDigitsAndPercent", "１２．３４％",
                       "\xA3\xB1\xA3\xB2\xA3\xAE\xA3\xB3\xA3\xB4\xA3\xA5"},
        ConversionCase{"EmojiIsOneQuestionMark",
                       "a\xF0\x9F\x98\x80"
                       "b",
                       "a?b"},
        ConversionCase{"LoneContinuationByte",
                       "a\x80"
                       "b",
                       "a?b"},
        ConversionCase{"ByteNeverInUtf8",
                       "a\xFF"
                       "b",
                       "a?b"},
        ConversionCase{"CharacterCutShortBeforeAscii",
                       "\xE6\x8C"
                       "x",
                       "?x"},
        ConversionCase{"CharacterCutShortAtEnd", "ab\xE6\x8C", "ab?"},
        ConversionCase{"OverlongSlash", "\xC0\xAF", "??"},
        ConversionCase{"EncodedSurrogate", "\xED\xA0\x80", "???"},
        ConversionCase{"AboveLastCodePoint", "\xF4\x90\x80\x80", "????"},
        ConversionCase{"ZeroByteKept", "a\0b"s, "a\0b"s}),
    [](const ::testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.name); });

class GbkToUtf8 : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(GbkToUtf8, GivesExpectedBytes)
{
    const ConversionCase& c = GetParam();
    const std::string result = gbkToUtf8(c.input);
    EXPECT_EQ(result, c.expected) << "got " << hex(result) << "expected " << hex(c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToUtf8,
    ::testing::Values(ConversionCase{"HoldingsMarker", "\xB3\xD6\xB2\xD6\xD5\xBC\xB1\xC8", "持仓占比"},
                      ConversionCase{"EuroSignFromTheSingleByte80", "\x80", "\xE2\x82\xAC"},
                      ConversionCase{"SecondByteInAsciiRange", "\x95\x4E", "昇"},
                      ConversionCase{"ByteNeverInGbk",
                                     "a\xFF"
                                     "b",
                                     "a?b"},
                      ConversionCase{"LeadByteCutShortAtEnd", "ab\xB3", "ab?"},
                      ConversionCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<ConversionCase>& info) { return std::string(info.param.name); });

TEST(CharsetRoundTrip, EveryTextGbkHoldsComesBackUnchanged)
{
    const std::vector<std::string> texts = {
        "贵州茅台", "美团-W",       "持仓截止日期:2026-09-30",    "\xE2\x82\xAC 12.5",
        "昇兴股份", "１２．３４％", "plain ascii <a href=\"x\">", "中国海洋石油　李宁",
    };
    for (const std::string& text : texts)
        EXPECT_EQ(gbkToUtf8(utf8ToGbk(text)), text) << text;
}

TEST(CharsetNames, Gb2312IsWidenedToGbk)
{
    // GB2312 lacks 昇; a stock named with it must still convert.
    EXPECT_EQ(convertCharset("昇", "utf-8", "gb2312"), "\x95\x4E");
    EXPECT_EQ(convertCharset("昇", "UTF-8", "GBK"), "\x95\x4E");
    EXPECT_EQ(convertCharset("\x95\x4E", "GB2312", "utf8"), "昇");
}

TEST(CharsetNames, UnknownCharsetGivesEmptyText)
{
    EXPECT_EQ(convertCharset("abc", "utf-8", "no-such-charset"), "");
    EXPECT_EQ(convertCharset("abc", "no-such-charset", "gbk"), "");
}

TEST(CharsetNames, ByteOrderMarkOnlyDroppedFromUtf8)
{
    // In GBK these three bytes are a character and a lead byte cut short, not a byte-order mark.
    EXPECT_EQ(gbkToUtf8("\xEF\xBB\xBF"), gbkToUtf8("\xEF\xBB") + "?");
    EXPECT_NE(gbkToUtf8("\xEF\xBB\xBF"), "");
}

}  // namespace
}  // namespace corvelle::collect
