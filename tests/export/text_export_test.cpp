// The tab-separated text: line and cell structure, and the trimming of line breaks at both ends.
#include "export/text_export.h"
#include "tests/export/export_lists.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace corvelle::exporting {
namespace {

struct ListTextCase {
    const char* name;
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> rows;
    std::string expected;
};

void PrintTo(const ListTextCase& param, std::ostream* out)
{
    *out << param.name;
}

class ListToText : public ::testing::TestWithParam<ListTextCase> {};

TEST_P(ListToText, Writes)
{
    const ListTextCase& param = GetParam();
    EXPECT_EQ(listToText(testing::makeList(param.titles, param.rows)), param.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListToText,
    ::testing::Values(
        ListTextCase{
            "OneRowOfFive", {"1", "2", "3", "4", "5"}, {{"a", "b", "c", "d", "e"}}, "a\tb\tc\td\te\t"},
        ListTextCase{"TwoRows", {"1", "2"}, {{"a", "b"}, {"c", "d"}}, "a\tb\t\r\nc\td\t"},
        ListTextCase{
            "EmptyRowsFirstAndLast", {"1", "2"}, {{"", ""}, {"x", ""}, {"", ""}}, "\t\t\r\nx\t\t\r\n\t\t"},
        ListTextCase{"EmptyList", {"1", "2"}, {}, ""}, ListTextCase{"NoColumns", {}, {{"a"}, {"b"}}, ""},
        ListTextCase{"BlanksKept", {"1", "2"}, {{" a ", "  "}}, " a \t  \t"},
        ListTextCase{"BreaksInsideKept", {"1"}, {{"a\r\nb"}, {"\n"}}, "a\r\nb\t\r\n\n\t"},
        // Only a first cell that itself begins with CR LF loses bytes to the trimming.
        ListTextCase{"FirstCellBeginningWithBreaks",
                     {"1", "2"},
                     {{"\r\n\r\nx", "y"}, {"\r\nz", "w"}},
                     "x\ty\t\r\n\r\nz\tw\t"}),
    [](const ::testing::TestParamInfo<ListTextCase>& info) { return info.param.name; });

struct TrimCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const TrimCase& param, std::ostream* out)
{
    *out << param.name;
}

class TrimLineBreaks : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimLineBreaks, CutsPairsAtBothEnds)
{
    EXPECT_EQ(trimLineBreaks(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TrimLineBreaks,
    ::testing::Values(TrimCase{"Empty", "", ""}, TrimCase{"OnlyBreaks", "\r\n\r\n\r\n", ""},
                      TrimCase{"TrailingPairs", "a\r\n\r\n", "a"}, TrimCase{"LeadingPairs", "\r\n\r\na", "a"},
                      TrimCase{"BothEnds", "\r\na\r\nb\r\n", "a\r\nb"},
                      TrimCase{"LoneCrAtEndStays", "a\r", "a\r"}, TrimCase{"LoneLfAtEndStays", "a\n", "a\n"},
                      TrimCase{"LoneLfAtStartStays", "\na", "\na"},
                      TrimCase{"ReversedPairStays", "\n\ra\n\r", "\n\ra\n\r"},
                      TrimCase{"PairBehindLoneCr", "a\r\r\n", "a\r"},
                      TrimCase{"PairBeforeLoneLf", "\r\n\na", "\na"}),
    [](const ::testing::TestParamInfo<TrimCase>& info) { return info.param.name; });

TEST(JoinLines, BreaksBetweenLinesOnly)
{
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({"a"}), "a");
    EXPECT_EQ(joinLines({"a", "b", "c"}), "a\r\nb\r\nc");
    // Empty lines at the ends vanish with their breaks; inside they stay.
    EXPECT_EQ(joinLines({"", "a", "", "b", ""}), "a\r\n\r\nb");
}

}  // namespace
}  // namespace corvelle::exporting
