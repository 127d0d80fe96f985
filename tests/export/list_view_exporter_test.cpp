// ListViewExporter: binding by kind, the read caps, and what a failed write leaves on disk.
#include "export/list_view_exporter.h"
#include "tests/export/export_lists.h"
#include "tests/export/file_size_limit.h"
#include "tests/export/golden_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

namespace corvelle::exporting {
namespace {

using testing::TempDir;

struct BindCase {
    const char* name;
    std::string kind;
    std::string expectedKind;
    bool accepted;
};

void PrintTo(const BindCase& param, std::ostream* out)
{
    *out << param.name;
}

class BindToList : public ::testing::TestWithParam<BindCase> {};

TEST_P(BindToList, ComparesTheKindByteForByte)
{
    const BindCase& param = GetParam();
    const MemoryList list({"a"}, {{"x"}}, param.kind);
    ListViewExporter exporter;
    EXPECT_EQ(exporter.bindToList(&list, param.expectedKind), param.accepted);
    EXPECT_EQ(exporter.rowCount(), param.accepted ? 1 : 0);
    EXPECT_EQ(exporter.columnCount(), param.accepted ? 1 : 0);
    EXPECT_EQ(exporter.cellText(0, 0), param.accepted ? "x" : "");
}

const std::string kLongKind = std::string(49, 'K') + "tail";

INSTANTIATE_TEST_SUITE_P(Kinds, BindToList,
                         ::testing::Values(BindCase{"ResultsList", "QTreeWidget", "QTreeWidget", true},
                                           BindCase{"OtherControl", "QTableWidget", "QTreeWidget", false},
                                           BindCase{"OtherCase", "qtreewidget", "QTreeWidget", false},
                                           BindCase{"LongerName", "QTreeWidgetItem", "QTreeWidget", false},
                                           BindCase{"NoKind", "", "QTreeWidget", false},
                                           BindCase{"KindReadUpTo49Bytes", kLongKind, kLongKind.substr(0, 49),
                                                    true}),
                         [](const ::testing::TestParamInfo<BindCase>& info) { return info.param.name; });

TEST(BindToList, DefaultKindIsTheResultsList)
{
    const MemoryList results = testing::resultsList();
    const MemoryList other({"a"}, {{"x"}}, "QListWidget");
    ListViewExporter exporter;
    EXPECT_FALSE(exporter.bindToList(nullptr));
    EXPECT_FALSE(exporter.bindToList(&other));
    EXPECT_TRUE(exporter.bindToList(&results));
}

TEST(BindToList, FailedBindingKeepsThePreviousOne)
{
    const MemoryList results = testing::resultsList();
    const MemoryList other({"a"}, {{"x"}}, "QListWidget");
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&results));
    EXPECT_FALSE(exporter.bindToList(&other));
    EXPECT_EQ(exporter.rowCount(), 3);
    EXPECT_EQ(exporter.columnCount(), 5);
}

struct CapCase {
    const char* name;
    std::string text;
    int capacity;
    std::string expected;
};

void PrintTo(const CapCase& param, std::ostream* out)
{
    *out << param.name;
}

class CapToCapacity : public ::testing::TestWithParam<CapCase> {};

TEST_P(CapToCapacity, KeepsWholeCharacters)
{
    EXPECT_EQ(capToCapacity(GetParam().text, GetParam().capacity), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, CapToCapacity,
                         ::testing::Values(CapCase{"ShortTextWhole", "abc", 260, "abc"},
                                           CapCase{"ExactFit", "abcd", 5, "abcd"},
                                           CapCase{"OneByteTooLong", "abcde", 5, "abcd"},
                                           CapCase{"PairStraddlingTheCapDropped", "abc\xC3\xA9", 5, "abc"},
                                           CapCase{"PairEndingAtTheCapKept", "ab\xC3\xA9z", 5, "ab\xC3\xA9"},
                                           CapCase{"EuroByteIsSingle", "abc\x80\x41", 5, "abc\x80"},
                                           CapCase{"LoneLeadByteAtTheEnd", "abcd\xC3", 6, "abcd\xC3"},
                                           CapCase{"NoRoomBesideTheZero", "abc", 1, ""},
                                           CapCase{"ZeroCapacity", "abc", 0, ""}),
                         [](const ::testing::TestParamInfo<CapCase>& info) { return info.param.name; });

TEST(ReadCaps, CellsAndTitles)
{
    const std::string longText(300, 'y');
    const MemoryList list({longText}, {{longText}}, std::string(kResultsListKind));
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    EXPECT_EQ(exporter.cellText(0, 0).size(), 259U);  // the default buffer of 260 bytes
    EXPECT_EQ(exporter.cellText(0, 0, kCellCapacity), longText);
    EXPECT_EQ(exporter.columnTitle(0).size(), 259U);
    EXPECT_EQ(exporter.cellText(1, 0), "");
    EXPECT_EQ(exporter.cellText(0, -1), "");
    EXPECT_EQ(exporter.columnTitle(1), "");
}

TEST(EscapeHtml, OnlyTheThreeMarkupCharacters)
{
    EXPECT_EQ(escapeHtml("<a&b>\"'"), "&lt;a&amp;b&gt;\"'");
    EXPECT_EQ(escapeHtml("AT&amp;T"), "AT&amp;amp;T");
    const std::string name = testing::gbk("贵州茅台");
    EXPECT_EQ(escapeHtml(name), name);
}

class WriteHtmlTable : public ::testing::Test {
protected:
    TempDir m_folder;
    const std::string m_oldContent = "old content that must survive\r\n" + std::string(4000, '#');

    std::string existingFile()
    {
        const std::string path = m_folder.file("existing.xls").string();
        testing::writeFileBytes(path, m_oldContent);
        return path;
    }

    [[nodiscard]] std::size_t filesInFolder() const
    {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_folder.path()))
            ++count;
        return count;
    }
};

TEST_F(WriteHtmlTable, NothingToWriteLeavesTheFileAlone)
{
    const MemoryList noRows = testing::makeList({"a", "b"}, {});
    const MemoryList noColumns = testing::makeList({}, {{"a"}, {"b"}});
    const MemoryList results = testing::resultsList();
    const MemoryList otherKind({"a"}, {{"x"}}, "QListWidget");

    struct Attempt {
        const char* name;
        const MemoryList* list;
    };
    for (const Attempt& attempt : {Attempt{"unbound", nullptr}, Attempt{"no rows", &noRows},
                                   Attempt{"no columns", &noColumns}, Attempt{"other kind", &otherKind}}) {
        SCOPED_TRACE(attempt.name);
        ListViewExporter exporter;
        if (attempt.list)
            exporter.bindToList(attempt.list);
        const std::string path = existingFile();
        EXPECT_FALSE(exporter.writeHtmlTable(path, false));
        EXPECT_EQ(testing::readFileBytes(path), m_oldContent);
        const std::string fresh = m_folder.file("fresh.xls").string();
        EXPECT_FALSE(exporter.writeHtmlTable(fresh, true));
        EXPECT_FALSE(std::filesystem::exists(fresh));
    }
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(WriteHtmlTable, ExistingFileReplacedCompletely)
{
    const MemoryList list = testing::exampleList();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    const std::string path = existingFile();
    ASSERT_TRUE(exporter.writeHtmlTable(path, false));
    EXPECT_TRUE(testing::matchesGolden(testing::readFileBytes(path), "example-2x2.xls"));
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(WriteHtmlTable, UnwritablePathsFail)
{
    const MemoryList list = testing::exampleList();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    const std::string regularFile = existingFile();
    for (const std::string& path : {std::string(), m_folder.file("missing/out.xls").string(),
                                    regularFile + "/out.xls", m_folder.path().string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(exporter.writeHtmlTable(path, false));
    }
    EXPECT_EQ(testing::readFileBytes(regularFile), m_oldContent);
    EXPECT_EQ(filesInFolder(), 1U);
}

TEST_F(WriteHtmlTable, FullDiskLeavesTheOldFileWhole)
{
    const MemoryList list = testing::longCellList();
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&list));
    const std::string path = existingFile();
    {
        testing::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(exporter.writeHtmlTable(path, false));
    }
    EXPECT_EQ(testing::readFileBytes(path), m_oldContent);
    EXPECT_EQ(filesInFolder(), 1U) << "the temporary file was left behind";
}

}  // namespace
}  // namespace corvelle::exporting
