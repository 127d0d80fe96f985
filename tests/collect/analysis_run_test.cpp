// Reading the code box and walking it: line splitting, repeats, the six-byte rule, progress captions.
#include "collect/analysis_run.h"

#include "collect/number_text.h"
#include "tests/collect/analysis_fixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace corvelle::collect {
namespace {

using testing::gbk;
using Lines = std::vector<std::string>;

struct SplitCase {
    const char* name;
    std::string text;
    Lines lines;
};

const SplitCase kSplitCases[] = {
    {"EmptyTextHasNoLine", "", {}},
    {"OneLineWithoutBreak", "481010", {"481010"}},
    {"TwoLines", "481010\r\n002264", {"481010", "002264"}},
    {"TrailingBreakAddsNoLine", "481010\r\n002264\r\n", {"481010", "002264"}},
    {"BlankLineInTheMiddleIsALine", "481010\r\n\r\n002264", {"481010", "", "002264"}},
    {"LoneBreakIsOneEmptyLine", "\r\n", {""}},
    {"TwoBreaksAreTwoEmptyLines", "\r\n\r\n", {"", ""}},
    {"LineFeedAloneDoesNotSplit", "481010\n002264", {"481010\n002264"}},
    {"CarriageReturnAloneDoesNotSplit", "481010\r002264", {"481010\r002264"}},
    {"BlanksStayInTheLine", " 481010\r\n481010 ", {" 481010", "481010 "}},
    // 0x81 opens a two-byte character that swallows the CR, so the LF after it stands alone.
    {"SecondByteOfACharacterNeverStartsASeparator", "a\x81\r\nb", {"a\x81\r\nb"}},
    {"ChineseTextSplitsBetweenCharacters", "\xBB\xF9\r\n\xBD\xF0", {"\xBB\xF9", "\xBD\xF0"}},
};

class SplitCodeLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCodeLines, Lines)
{
    EXPECT_EQ(splitCodeLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCodeLines, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct DedupCase {
    const char* name;
    Lines input;
    Lines kept;
};

const DedupCase kDedupCases[] = {
    {"Empty", {}, {}},
    {"RepeatDroppedFirstKeptInPlace", {"481010", "481010", "002264"}, {"481010", "002264"}},
    {"LaterRepeatsVanish", {"a", "b", "a", "c", "b", "a"}, {"a", "b", "c"}},
    {"BlankLinesCountOnce", {"", "481010", "", ""}, {"", "481010"}},
    {"TrailingBlankMakesADifferentLine", {"481010", "481010 "}, {"481010", "481010 "}},
    {"CaseCounts", {"abcdef", "ABCDEF"}, {"abcdef", "ABCDEF"}},
};

class RemoveDuplicateLines : public ::testing::TestWithParam<DedupCase> {};

TEST_P(RemoveDuplicateLines, KeepsFirstOccurrences)
{
    Lines lines = GetParam().input;
    EXPECT_EQ(removeDuplicateLines(lines), static_cast<int>(GetParam().kept.size()));
    EXPECT_EQ(lines, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveDuplicateLines, ::testing::ValuesIn(kDedupCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IsAnalysedLine, ExactlySixBytes)
{
    EXPECT_TRUE(isAnalysedLine("481010"));
    EXPECT_TRUE(isAnalysedLine("abcdef")) << "six letters are fetched like a code";
    EXPECT_TRUE(isAnalysedLine(gbk("基金代"))) << "three GBK characters are six bytes";
    EXPECT_FALSE(isAnalysedLine("48101"));
    EXPECT_FALSE(isAnalysedLine("4810100"));
    EXPECT_FALSE(isAnalysedLine(" 481010"));
    EXPECT_FALSE(isAnalysedLine("481010 "));
    EXPECT_FALSE(isAnalysedLine(""));
}

struct PercentCase {
    const char* name;
    double fraction;
    const char* text;
};

const PercentCase kPercentCases[] = {
    {"TwoThirdsIsCutNotRounded", 2.0 / 3.0, "66.66 %"},
    {"OneThird", 1.0 / 3.0, "33.33 %"},
    {"ThreeSevenths", 3.0 / 7.0, "42.85 %"},
    {"OneEighth", 1.0 / 8.0, "12.5 %"},
    {"Half", 0.5, "50 %"},
    {"Whole", 1.0, "100 %"},
    {"OneSixth", 1.0 / 6.0, "16.66 %"},
    {"FiveSixths", 5.0 / 6.0, "83.33 %"},
};

class ProgressPercent : public ::testing::TestWithParam<PercentCase> {};

TEST_P(ProgressPercent, KnownAnswer)
{
    EXPECT_EQ(formatProgressPercent(GetParam().fraction), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressPercent, ::testing::ValuesIn(kPercentCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressPercentLocale, DecimalCommaLocaleStillWritesAPoint)
{
    testing::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no locale with a decimal comma could be installed (localedef missing?)";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 0.5);
    ASSERT_STREQ(printed, "0,5") << "the locale is not in force";
    for (const PercentCase& row : kPercentCases)
        EXPECT_EQ(formatProgressPercent(row.fraction), row.text) << row.name;
    EXPECT_EQ(progressCaption(2.0 / 3.0, "002264"), gbk("66.66 % , 解析基金代码 002264 中…… "));
}

TEST(ProgressCaption, PercentThenCodeInGbk)
{
    EXPECT_EQ(progressCaption(1.0, "002264"), gbk("100 % , 解析基金代码 002264 中…… "));
    EXPECT_EQ(progressCaption(0.5, "481010"), gbk("50 % , 解析基金代码 481010 中…… "));
}

// Walks a box through a real FundScraper whose fetcher serves fixture pages from memory and notes
// every address asked for.
struct Walk {
    Lines captions;
    Lines fetched;
    bool complete = false;
};

Walk walk(const std::string& box, bool stopBefore = false)
{
    Walk result;
    const ServiceAddresses addresses{"http://fund.test/", "http://quote.test"};
    FundScraper scraper(addresses, [&result](const std::string& url) {
        result.fetched.push_back(url);
        if (url.find("api/qt") != std::string::npos)
            return testing::quoteReply("1.5");
        return utf8ToGbk(testing::fundPage({{"http://fund.test/sh600519.html", "贵州茅台", "5.5"}}, "", 0));
    });
    std::atomic<bool> stop{stopBefore};
    result.complete = collectHoldings(
        box, scraper, [&result](const std::string& caption) { result.captions.push_back(caption); }, stop);
    return result;
}

Lines pagesOf(const Walk& w)
{
    Lines pages;
    for (const std::string& url : w.fetched) {
        if (url.find("api/qt") == std::string::npos)
            pages.push_back(url);
    }
    return pages;
}

TEST(CollectHoldings, ThreeCodesShowThirds)
{
    const Walk w = walk("111111\r\n222222\r\n333333");
    EXPECT_EQ(w.captions,
              (Lines{gbk("33.33 % , 解析基金代码 111111 中…… "), gbk("66.66 % , 解析基金代码 222222 中…… "),
                     gbk("100 % , 解析基金代码 333333 中…… ")}));
    EXPECT_EQ(pagesOf(w), (Lines{"http://fund.test/111111.html", "http://fund.test/222222.html",
                                 "http://fund.test/333333.html"}));
    EXPECT_TRUE(w.complete);
}

TEST(CollectHoldings, SevenCodesCutTheThirdPercentage)
{
    const Walk w = walk("100001\r\n100002\r\n100003\r\n100004\r\n100005\r\n100006\r\n100007");
    ASSERT_EQ(w.captions.size(), 7U);
    EXPECT_EQ(w.captions[2], gbk("42.85 % , 解析基金代码 100003 中…… "));
}

TEST(CollectHoldings, EightLinesStartAtOneEighth)
{
    const Walk w = walk("100001\r\n100002\r\n100003\r\n100004\r\n100005\r\n100006\r\n100007\r\n100008\r\n");
    ASSERT_EQ(w.captions.size(), 8U);
    EXPECT_EQ(w.captions[0], gbk("12.5 % , 解析基金代码 100001 中…… "));
}

TEST(CollectHoldings, SkippedLinesCountInTheFractionButShowNothing)
{
    // After de-duplication: 481010, "", " 481010" (seven bytes), 00226 (five), abcdef, 002264: n = 6.
    const Walk w = walk("481010\r\n481010\r\n\r\n 481010\r\n00226\r\nabcdef\r\n\r\n002264\r\n");
    EXPECT_EQ(w.captions,
              (Lines{gbk("16.66 % , 解析基金代码 481010 中…… "), gbk("83.33 % , 解析基金代码 abcdef 中…… "),
                     gbk("100 % , 解析基金代码 002264 中…… ")}));
    EXPECT_EQ(pagesOf(w), (Lines{"http://fund.test/481010.html", "http://fund.test/abcdef.html",
                                 "http://fund.test/002264.html"}));
}

TEST(CollectHoldings, EachHoldingIsPricedOnceAfterItsPage)
{
    const Walk w = walk("481010");
    ASSERT_EQ(w.fetched.size(), 2U);
    EXPECT_EQ(w.fetched[0], "http://fund.test/481010.html");
    EXPECT_NE(w.fetched[1].find("secid=1.600519"), std::string::npos) << w.fetched[1];
}

TEST(CollectHoldings, EmptyBoxFetchesNothing)
{
    const Walk w = walk("");
    EXPECT_TRUE(w.captions.empty());
    EXPECT_TRUE(w.fetched.empty());
    EXPECT_TRUE(w.complete);
}

TEST(CollectHoldings, StopBeforeTheWalkFetchesNothingAndSaysIncomplete)
{
    const Walk w = walk("481010\r\n002264", true);
    EXPECT_TRUE(w.fetched.empty());
    EXPECT_FALSE(w.complete);
}

}  // namespace
}  // namespace corvelle::collect
