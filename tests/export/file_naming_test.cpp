// The default file name, the parts of a chosen path, the filter list and the dialog's extension rule.
#include "export/file_naming.h"
#include "tests/export/export_lists.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace corvelle::exporting {
namespace {

struct StampCase {
    const char* name;
    LocalDateTime when;
    std::string expected;
};

void PrintTo(const StampCase& param, std::ostream* out)
{
    *out << param.name;
}

class DateTimeStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(DateTimeStamp, Formats)
{
    EXPECT_EQ(dateTimeStamp(GetParam().when), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Times, DateTimeStamp,
    ::testing::Values(StampCase{"Morning", {2021, 10, 30, 9, 5, 7}, "2021-10-30-09-05-07"},
                      StampCase{"NewYearsNight", {2022, 1, 1, 23, 59, 59}, "2022-01-01-23-59-59"},
                      StampCase{"Midnight", {2024, 2, 29, 0, 0, 0}, "2024-02-29-00-00-00"},
                      StampCase{"ShortYearUnpadded", {987, 12, 10, 10, 10, 10}, "987-12-10-10-10-10"}),
    [](const ::testing::TestParamInfo<StampCase>& info) { return info.param.name; });

TEST(TwoDigits, PadsOnlySingleDigits)
{
    EXPECT_EQ(twoDigits(0), "00");
    EXPECT_EQ(twoDigits(9), "09");
    EXPECT_EQ(twoDigits(10), "10");
    EXPECT_EQ(twoDigits(59), "59");
    EXPECT_EQ(twoDigits(123), "123");
    EXPECT_EQ(twoDigits(-1), "");
}

TEST(CurrentLocalDateTime, FieldsInTheirRanges)
{
    const LocalDateTime now = currentLocalDateTime();
    EXPECT_GE(now.year, 2000);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
    EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
    EXPECT_TRUE(now.second >= 0 && now.second <= 60);
}

TEST(PathParts, NameAndExtension)
{
    EXPECT_EQ(fileNameOfPath("/home/u/my.data/result.txt"), "result.txt");
    EXPECT_EQ(fileNameOfPath("/home/u/my.data/result"), "result");
    EXPECT_EQ(fileNameOfPath("/home/u/"), "");
    EXPECT_EQ(fileNameOfPath("result.txt"), "");
    EXPECT_EQ(fileNameOfPath(""), "");

    EXPECT_EQ(extensionOfName("result.txt"), "txt");
    EXPECT_EQ(extensionOfName("2021-10-30-09-05-07.Marlune"), "Marlune");
    EXPECT_EQ(extensionOfName("a.b.XLS"), "XLS");
    EXPECT_EQ(extensionOfName("result"), "");
    EXPECT_EQ(extensionOfName("result."), "");
    EXPECT_EQ(extensionOfName(""), "");
    // Folder names with dots do not count: the extension is taken from the name alone.
    EXPECT_EQ(extensionOfName(fileNameOfPath("/home/u/my.data/result")), "");
}

TEST(ParseFilters, PairsKeepTheirBlanks)
{
    const std::string filters = testing::gbk("TXT文本|*.txt| Excel工作表|*.xls");
    const std::vector<FileFilter> expected{{testing::gbk("TXT文本"), "*.txt"},
                                           {testing::gbk(" Excel工作表"), "*.xls"}};
    EXPECT_EQ(parseFilters(filters), expected);
    EXPECT_EQ(parseFilters("Text|*.txt|dangling"), (std::vector<FileFilter>{{"Text", "*.txt"}}));
    EXPECT_TRUE(parseFilters("").empty());
}

TEST(FilterExtension, FirstConcreteExtension)
{
    EXPECT_EQ(filterExtension({"t", "*.txt"}), "txt");
    EXPECT_EQ(filterExtension({"t", "*.htm;*.html"}), "htm");
    EXPECT_EQ(filterExtension({"all", "*.*"}), "");
    EXPECT_EQ(filterExtension({"all", "*"}), "");
}

struct ExtensionCase {
    const char* name;
    std::string path;
    int selectedFilter;
    std::string expected;
};

void PrintTo(const ExtensionCase& param, std::ostream* out)
{
    *out << param.name;
}

class WithChosenExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(WithChosenExtension, AppliesTheDialogRule)
{
    const std::vector<FileFilter> filters = parseFilters("Text|*.txt| Sheet|*.xls|All|*.*");
    EXPECT_EQ(withChosenExtension(GetParam().path, filters, GetParam().selectedFilter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, WithChosenExtension,
    ::testing::Values(ExtensionCase{"ProposedNameGetsText", "/d/2021-10-30-09-05-07.Marlune", 1,
                                    "/d/2021-10-30-09-05-07.Marlune.txt"},
                      ExtensionCase{"ProposedNameGetsSheet", "/d/2021-10-30-09-05-07.Marlune", 2,
                                    "/d/2021-10-30-09-05-07.Marlune.xls"},
                      ExtensionCase{"NoDotGetsSelected", "/d/result", 1, "/d/result.txt"},
                      ExtensionCase{"TrailingDotGetsSelected", "/d/result.", 2, "/d/result.xls"},
                      ExtensionCase{"DottedFolderIgnored", "/d/my.data/result", 1, "/d/my.data/result.txt"},
                      ExtensionCase{"KnownExtensionKept", "/d/result.xls", 1, "/d/result.xls"},
                      ExtensionCase{"UpperCaseKeptAsTyped", "/d/result.TXT", 2, "/d/result.TXT"},
                      ExtensionCase{"MixedCaseKeptAsTyped", "/d/result.Xls", 1, "/d/result.Xls"},
                      ExtensionCase{"WildcardFilterAddsNothing", "/d/result.Marlune", 3, "/d/result.Marlune"},
                      ExtensionCase{"FolderChosenUnchanged", "/d/", 1, "/d/"},
                      ExtensionCase{"CancelledStaysEmpty", "", 1, ""}),
    [](const ::testing::TestParamInfo<ExtensionCase>& info) { return info.param.name; });

}  // namespace
}  // namespace corvelle::exporting
