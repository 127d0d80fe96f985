// The results list's Qt view as the writers see it: GBK cells and titles, and the kind test.
#include "app/windowing.h"
#include "export/list_view_exporter.h"
#include "export/qt_list_source.h"
#include "export/text_export.h"
#include "tests/export/export_lists.h"
#include "tests/export/golden_file.h"
#include "tests/support/temp_dir.h"

#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corvelle::exporting {
namespace {

// A results list made by deriving from the report list, as a window may do to add behaviour.
class DerivedResultsView : public QTreeWidget {
    Q_OBJECT
};

template <typename List> void fillResults(List& list)
{
    QStringList titles;
    for (const std::string& title : testing::resultsTitles())
        titles << app::toQString(title);
    list.setColumnCount(static_cast<int>(titles.size()));
    list.setHeaderLabels(titles);
    const auto rows = testing::resultsRows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        app::appendEmptyRow(&list);
        for (std::size_t column = 0; column < rows[row].size(); ++column)
            app::setCellText(&list, static_cast<int>(row), static_cast<int>(column), rows[row][column]);
    }
}

TEST(QtListSource, ReadsTheTreeAsTheListShowsIt)
{
    QTreeWidget tree;
    fillResults(tree);
    tree.setHeaderHidden(true);  // the results list hides its header; its titles still count
    const QtListSource source(&tree);
    EXPECT_EQ(source.kind(), "QTreeWidget");
    EXPECT_EQ(source.rowCount(), 3);
    EXPECT_EQ(source.columnCount(), 5);
    EXPECT_EQ(source.cellText(0, 1), testing::gbk("贵州茅台"));
    EXPECT_EQ(source.columnTitle(4), testing::gbk("出现次数"));
    EXPECT_EQ(source.cellText(3, 0), "");
    EXPECT_EQ(source.cellText(0, 5), "");
    EXPECT_EQ(source.columnTitle(-1), "");
    EXPECT_TRUE(testing::matchesGolden(listToText(source), "results-3rows.txt"));
}

TEST(QtListSource, WritersReadTheRealList)
{
    DerivedResultsView tree;
    fillResults(tree);
    const QtListSource source(&tree);
    ListViewExporter exporter;
    ASSERT_TRUE(exporter.bindToList(&source)) << "a derived report list keeps its kind: " << source.kind();

    testing::TempDir folder;
    for (const auto& [withTitleRow, golden] :
         {std::pair{false, "results-3rows.xls"}, std::pair{true, "results-3rows-titled.xls"}}) {
        const std::string path = folder.file(golden).string();
        ASSERT_TRUE(exporter.writeHtmlTable(path, withTitleRow));
        EXPECT_TRUE(testing::matchesGolden(testing::readFileBytes(path), golden));
    }
}

TEST(QtListSource, OtherControlsAreRefused)
{
    QTableWidget table(3, 5);
    QListWidget plainList;
    plainList.addItem(QStringLiteral("600519"));
    testing::TempDir folder;
    for (const QWidget* control :
         {static_cast<const QWidget*>(&table), static_cast<const QWidget*>(&plainList)}) {
        const QtListSource source(control);
        SCOPED_TRACE(source.kind());
        EXPECT_EQ(source.kind(), control->metaObject()->className());
        EXPECT_EQ(source.rowCount(), 0);
        ListViewExporter exporter;
        EXPECT_FALSE(exporter.bindToList(&source));
        const std::string path = folder.file("out.xls").string();
        EXPECT_FALSE(exporter.writeHtmlTable(path, false));
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

}  // namespace
}  // namespace corvelle::exporting

#include "qt_list_source_qt_test.moc"
