// Both export formats against golden files, byte for byte: the HTML table and the tab-separated text.
#include "export/list_view_exporter.h"
#include "export/text_export.h"
#include "tests/export/export_lists.h"
#include "tests/export/golden_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace corvelle::exporting {
namespace {

using testing::TempDir;

std::size_t countOf(const std::string& text, const std::string& piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

struct HtmlCase {
    const char* name;
    std::function<MemoryList()> list;
    bool withTitleRow;
    const char* golden;
};

void PrintTo(const HtmlCase& param, std::ostream* out)
{
    *out << param.name;
}

class HtmlTableGolden : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlTableGolden, FileMatches)
{
    const HtmlCase& param = GetParam();
    const MemoryList list = param.list();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));

    TempDir folder;
    const std::string path = folder.file("out.xls").string();
    ASSERT_TRUE(exporter.writeHtmlTable(path, param.withTitleRow));
    const std::string written = testing::readFileBytes(path);

    // Every line, </table> included, ends in CR LF: 2 + rows × (columns + 2), plus the title row's lines.
    const std::size_t columns = static_cast<std::size_t>(list.columnCount());
    const std::size_t rows = static_cast<std::size_t>(list.rowCount());
    const std::size_t lines = 2 + rows * (columns + 2) + (param.withTitleRow ? columns + 2 : 0);
    EXPECT_EQ(countOf(written, "\r\n"), lines);
    EXPECT_EQ(countOf(written, "\n"), lines) << "a bare LF in the file";
    EXPECT_TRUE(written.ends_with("</table>\r\n"));
    EXPECT_TRUE(testing::matchesGolden(written, param.golden));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, HtmlTableGolden,
    ::testing::Values(HtmlCase{"TwoByTwoExample", testing::exampleList, false, "example-2x2.xls"},
                      HtmlCase{"TwoByTwoTitled", testing::exampleList, true, "example-2x2-titled.xls"},
                      HtmlCase{"ResultsThreeRows", testing::resultsList, false, "results-3rows.xls"},
                      HtmlCase{"ResultsThreeRowsTitled", testing::resultsList, true,
                               "results-3rows-titled.xls"},
                      HtmlCase{"EmptyCells", testing::emptyCellsList, false, "empty-cells.xls"},
                      HtmlCase{"LeadingBlank", testing::leadingBlankList, false, "leading-blank.xls"},
                      HtmlCase{"LongCells", testing::longCellList, false, "long-cell.xls"},
                      HtmlCase{"Markup", testing::markupList, false, "markup.xls"},
                      HtmlCase{"MarkupTitled", testing::markupList, true, "markup-titled.xls"}),
    [](const ::testing::TestParamInfo<HtmlCase>& info) { return info.param.name; });

struct TextCase {
    const char* name;
    std::function<MemoryList()> list;
    const char* golden;
};

void PrintTo(const TextCase& param, std::ostream* out)
{
    *out << param.name;
}

class TextGolden : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextGolden, TextMatches)
{
    const TextCase& param = GetParam();
    const MemoryList list = param.list();
    const std::string text = listToText(list);

    // R lines of C TABs each, R - 1 line breaks and none after the last line.
    const std::size_t rows = static_cast<std::size_t>(list.rowCount());
    EXPECT_EQ(countOf(text, "\t"), rows * static_cast<std::size_t>(list.columnCount()));
    EXPECT_EQ(countOf(text, "\r\n"), rows - 1);
    EXPECT_TRUE(text.ends_with('\t'));
    EXPECT_TRUE(testing::matchesGolden(text, param.golden));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, TextGolden,
    ::testing::Values(TextCase{"TwoByTwoExample", testing::exampleList, "example-2x2.txt"},
                      TextCase{"ResultsThreeRows", testing::resultsList, "results-3rows.txt"},
                      TextCase{"EmptyCells", testing::emptyCellsList, "empty-cells.txt"},
                      TextCase{"LeadingBlank", testing::leadingBlankList, "leading-blank.txt"},
                      TextCase{"LongCells", testing::longCellList, "long-cell.txt"},
                      TextCase{"Markup", testing::markupList, "markup.txt"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST(HtmlTableContent, LongCellsCutToTheCapWithoutSplittingACharacter)
{
    const MemoryList list = testing::longCellList();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    const std::string table = exporter.htmlTable(false);
    EXPECT_NE(table.find("<td>" + testing::longAsciiCell().substr(0, 1023) + "</td>\r\n"), std::string::npos);
    // The 512th character would end at byte 1024, so only 511 characters fit.
    EXPECT_NE(table.find("<td>" + testing::longGbkCell().substr(0, 1022) + "</td>\r\n"), std::string::npos);
}

TEST(HtmlTableContent, CapCountsTheTextBeforeEscaping)
{
    // 1022 bytes then "&y": the cap keeps the "&", which is escaped afterwards.
    const MemoryList list = testing::makeList({"a"}, {{std::string(1022, 'x') + "&y"}});
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    EXPECT_NE(exporter.htmlTable(false).find("<td>" + std::string(1022, 'x') + "&amp;</td>\r\n"),
              std::string::npos);
}

TEST(HtmlTableContent, TitlesOnlyInTheTitleRow)
{
    const MemoryList list = testing::resultsList();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    const std::string plain = exporter.htmlTable(false);
    const std::string titled = exporter.htmlTable(true);
    std::string titleCells;
    for (const std::string& title : testing::resultsTitles()) {
        EXPECT_EQ(plain.find(title), std::string::npos);
        titleCells += "    <th>" + title + "</th>\r\n";
    }
    EXPECT_EQ(titled.find("<table border=\"1\">\r\n  <tr>\r\n" + titleCells + "  </tr>\r\n"), 0U);
}

}  // namespace
}  // namespace corvelle::exporting
