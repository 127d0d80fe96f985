// The export command on a real report list, with the save dialog answered by the test.
#include "app/platform.h"
#include "app/windowing.h"
#include "export/export_command.h"
#include "export/text_export.h"
#include "tests/export/export_lists.h"
#include "tests/export/file_size_limit.h"
#include "tests/export/golden_file.h"
#include "tests/support/temp_dir.h"

#include <QCoreApplication>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace corvelle::exporting {
namespace {

namespace fs = std::filesystem;
using testing::gbk;

const std::string kOldContent =
    "an older export that is longer than the new one\r\n" + std::string(4000, '#');

std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(fs::relative(entry.path(), folder).string());
    std::ranges::sort(names);
    return names;
}

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_list.setColumnCount(5);
        fillList(testing::resultsRows());
        setExportClock([] { return LocalDateTime{2021, 10, 30, 9, 5, 7}; });
        app::setMessageBoxHandler([this](const std::string& text) { m_messages.push_back(text); });
        setSaveDialogFunction([this](const SaveDialogRequest& request) {
            m_requests.push_back(request);
            return m_dialog ? m_dialog(request) : SaveDialogAnswer{};
        });
    }

    void TearDown() override
    {
        setSaveDialogFunction({});
        app::setMessageBoxHandler({});
        setExportClock({});
    }

    // What a refill does to the list, row by row.
    void fillList(const std::vector<std::vector<std::string>>& rows)
    {
        app::deleteAllRows(&m_list);
        for (std::size_t row = 0; row < rows.size(); ++row) {
            app::appendEmptyRow(&m_list);
            for (std::size_t column = 0; column < rows[row].size(); ++column)
                app::setCellText(&m_list, static_cast<int>(row), static_cast<int>(column), rows[row][column]);
        }
    }

    // The user confirms name (relative to the test folder) with the given type selected.
    void answerWith(const std::string& name, int selectedFilter = 1)
    {
        m_dialog = [this, name, selectedFilter](const SaveDialogRequest&) {
            return SaveDialogAnswer{m_folder.file(name).string(), selectedFilter};
        };
    }

    void runExport()
    {
        exportResults(nullptr, &m_list, [this] { return m_tableSize; });
    }

    [[nodiscard]] std::vector<std::string> files() const { return folderEntries(m_folder.path()); }

    QTreeWidget m_list;
    std::size_t m_tableSize = 3;
    testing::TempDir m_folder;
    std::function<SaveDialogAnswer(const SaveDialogRequest&)> m_dialog;
    std::vector<SaveDialogRequest> m_requests;
    std::vector<std::string> m_messages;

    const std::string m_waiting = gbk("稍等，列表内数据还未加载完毕");
    const std::string m_textFailed = gbk("导出到文本，失败？");
    const std::string m_sheetFailed = gbk("导出到工作表，失败？");
};

TEST_F(ExportCommand, EmptyListDoesNothing)
{
    app::deleteAllRows(&m_list);
    for (std::size_t tableSize : {0U, 3U}) {
        m_tableSize = tableSize;
        runExport();
    }
    EXPECT_TRUE(m_requests.empty());
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ExportCommand, ListShorterThanTableWaits)
{
    m_tableSize = 4;
    answerWith("result.txt");
    runExport();
    EXPECT_TRUE(m_requests.empty());
    EXPECT_EQ(m_messages, std::vector<std::string>{m_waiting});
    EXPECT_TRUE(files().empty());
}

TEST_F(ExportCommand, ListLongerThanTableExports)
{
    m_tableSize = 2;
    answerWith("result.txt");
    runExport();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(
        testing::matchesGolden(testing::readFileBytes(m_folder.file("result.txt")), "results-3rows.txt"));
}

TEST_F(ExportCommand, DialogProposesTheDatedNameInTheProgramFolder)
{
    runExport();  // the dialog is cancelled
    ASSERT_EQ(m_requests.size(), 1U);
    const SaveDialogRequest& request = m_requests.front();
    EXPECT_EQ(request.initialDirectory, QCoreApplication::applicationDirPath().toStdString() + "/");
    EXPECT_EQ(request.title, gbk("保存文件"));
    EXPECT_EQ(request.defaultName, "2021-10-30-09-05-07.Marlune");
    const std::vector<FileFilter> filters{{gbk("TXT文本"), "*.txt"}, {gbk(" Excel工作表"), "*.xls"}};
    EXPECT_EQ(request.filters, filters);
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(files().empty());
}

struct ChosenNameCase {
    const char* name;
    std::string typed;
    int selectedFilter;
    std::string written;  // empty: nothing may be written
    std::string golden;
};

void PrintTo(const ChosenNameCase& param, std::ostream* out)
{
    *out << param.name;
}

class ExportChosenName : public ExportCommand, public ::testing::WithParamInterface<ChosenNameCase> {};

TEST_P(ExportChosenName, ExtensionPicksTheFormat)
{
    const ChosenNameCase& param = GetParam();
    fs::create_directory(m_folder.file("my.data"));
    answerWith(param.typed, param.selectedFilter);
    runExport();
    EXPECT_TRUE(m_messages.empty());
    std::vector<std::string> expected{"my.data"};
    if (!param.written.empty()) {
        expected.push_back(param.written);
        std::ranges::sort(expected);
        EXPECT_TRUE(
            testing::matchesGolden(testing::readFileBytes(m_folder.file(param.written)), param.golden));
    }
    EXPECT_EQ(files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportChosenName,
    ::testing::Values(ChosenNameCase{"Text", "result.txt", 1, "result.txt", "results-3rows.txt"},
                      ChosenNameCase{"Sheet", "result.xls", 1, "result.xls", "results-3rows.xls"},
                      ChosenNameCase{"ProposedNameAsText", "2021-10-30-09-05-07.Marlune", 1,
                                     "2021-10-30-09-05-07.Marlune.txt", "results-3rows.txt"},
                      ChosenNameCase{"ProposedNameAsSheet", "2021-10-30-09-05-07.Marlune", 2,
                                     "2021-10-30-09-05-07.Marlune.xls", "results-3rows.xls"},
                      ChosenNameCase{"NameWithoutExtension", "result", 2, "result.xls", "results-3rows.xls"},
                      ChosenNameCase{"DottedFolder", "my.data/result.txt", 2, "my.data/result.txt",
                                     "results-3rows.txt"},
                      ChosenNameCase{"UpperCaseTextWritesNothing", "result.TXT", 1, "", ""},
                      ChosenNameCase{"MixedCaseSheetWritesNothing", "result.Xls", 2, "", ""}),
    [](const ::testing::TestParamInfo<ChosenNameCase>& info) { return info.param.name; });

TEST_F(ExportCommand, WorkingDirectoryRestoredAfterTheDialog)
{
    const std::string before = app::currentDirectory();
    ASSERT_NE(before, m_folder.path().string());
    for (bool confirm : {true, false}) {
        SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
        m_dialog = [this, confirm](const SaveDialogRequest&) {
            app::setCurrentDirectory(m_folder.path().string());  // the user browsed elsewhere
            return confirm ? SaveDialogAnswer{m_folder.file("result.txt").string(), 1} : SaveDialogAnswer{};
        };
        runExport();
        EXPECT_EQ(app::currentDirectory(), before);
    }
    EXPECT_TRUE(fs::exists(m_folder.file("result.txt")));
}

TEST_F(ExportCommand, ExistingFileReplacedCompletely)
{
    for (const char* name : {"result.txt", "result.xls"}) {
        SCOPED_TRACE(name);
        testing::writeFileBytes(m_folder.file(name), kOldContent);
        answerWith(name);
        runExport();
        const std::string golden = std::string("results-3rows") + fs::path(name).extension().string();
        EXPECT_TRUE(testing::matchesGolden(testing::readFileBytes(m_folder.file(name)), golden));
    }
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(files(), (std::vector<std::string>{"result.txt", "result.xls"}));
}

TEST_F(ExportCommand, UnwritablePathsReported)
{
    testing::writeFileBytes(m_folder.file("plain-file"), kOldContent);
    struct Attempt {
        std::string name;
        std::string message;
    };
    for (const Attempt& attempt :
         {Attempt{"missing/result.txt", m_textFailed}, Attempt{"missing/result.xls", m_sheetFailed},
          Attempt{"plain-file/result.txt", m_textFailed}, Attempt{"plain-file/result.xls", m_sheetFailed}}) {
        SCOPED_TRACE(attempt.name);
        m_messages.clear();
        answerWith(attempt.name);
        runExport();
        EXPECT_EQ(m_messages, std::vector<std::string>{attempt.message});
    }
    EXPECT_EQ(files(), std::vector<std::string>{"plain-file"});
    EXPECT_EQ(testing::readFileBytes(m_folder.file("plain-file")), kOldContent);
}

TEST_F(ExportCommand, FullDiskKeepsTheOldFileAndReports)
{
    for (const auto& [name, message] :
         {std::pair{"result.txt", m_textFailed}, std::pair{"result.xls", m_sheetFailed}}) {
        SCOPED_TRACE(name);
        testing::writeFileBytes(m_folder.file(name), kOldContent);
        m_messages.clear();
        answerWith(name);
        {
            testing::FileSizeLimit limit(40);  // smaller than either export of the three rows
            ASSERT_TRUE(limit.active());
            runExport();
        }
        EXPECT_EQ(m_messages, std::vector<std::string>{message});
        EXPECT_EQ(testing::readFileBytes(m_folder.file(name)), kOldContent);
    }
    EXPECT_EQ(files(), (std::vector<std::string>{"result.txt", "result.xls"})) << "a temporary file was left";
}

TEST_F(ExportCommand, RowsArrivingDuringTheDialogWait)
{
    // A refill started before the press clears the list and has shown one row when the dialog closes.
    m_dialog = [this](const SaveDialogRequest&) {
        fillList({testing::resultsRows().front()});
        return SaveDialogAnswer{m_folder.file("result.xls").string(), 1};
    };
    runExport();
    // An analysis that replaced the table with a longer one while the dialog was open.
    fillList(testing::resultsRows());
    m_dialog = [this](const SaveDialogRequest&) {
        m_tableSize = 4;
        return SaveDialogAnswer{m_folder.file("result.txt").string(), 1};
    };
    runExport();
    EXPECT_EQ(m_messages, (std::vector<std::string>{m_waiting, m_waiting}));
    EXPECT_TRUE(files().empty());
}

TEST_F(ExportCommand, RefillFinishedDuringTheDialogIsWrittenWhole)
{
    auto reordered = testing::resultsRows();
    std::ranges::reverse(reordered);
    m_dialog = [this, reordered](const SaveDialogRequest&) {
        fillList(reordered);
        return SaveDialogAnswer{m_folder.file("result.txt").string(), 1};
    };
    runExport();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(testing::readFileBytes(m_folder.file("result.txt")),
              listToText(testing::makeList(testing::resultsTitles(), reordered)));
}

}  // namespace
}  // namespace corvelle::exporting
