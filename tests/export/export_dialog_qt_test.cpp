// The export command with Qt's real save dialog, answered with the Enter key as a user would. With
// CORVELLE_SHOT_DIR set, a picture of the open dialog is saved there as export-dialog.png.
#include "app/platform.h"
#include "app/windowing.h"
#include "export/export_command.h"
#include "tests/export/export_lists.h"
#include "tests/export/golden_file.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace corvelle::exporting {
namespace {

namespace fs = std::filesystem;

// What the test saw of the open dialog.
struct DialogSeen {
    bool found = false;
    QString title;
    QString directory;
    QString fileName;
    QStringList nameFilters;
    QString selectedNameFilter;
    bool native = true;
    QStringList leftOpen;  // class names of modal windows that Enter did not close
};

TEST(ExportDialog, ProposedNameAcceptedWithEnterWritesText)
{
    // Qt's own dialog texts in Chinese, as the program shows them.
    QTranslator translator;
    const bool translated =
        translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (translated)
        QCoreApplication::installTranslator(&translator);

    setExportClock([] { return LocalDateTime{2021, 10, 30, 9, 5, 7}; });
    std::vector<std::string> messages;
    app::setMessageBoxHandler([&messages](const std::string& text) { messages.push_back(text); });

    const fs::path programFolder = QCoreApplication::applicationDirPath().toStdString();
    const fs::path expectedFile = programFolder / "2021-10-30-09-05-07.Marlune.txt";
    // An older export of the same name is replaced. A file of exactly the proposed name makes Qt's dialog
    // ask before "replacing" it unless told not to, though the export then goes to the name with ".txt".
    const fs::path proposedFile = programFolder / "2021-10-30-09-05-07.Marlune";
    testing::writeFileBytes(expectedFile, "an older export\r\n");
    testing::writeFileBytes(proposedFile, "not an export\r\n");
    const std::string workingDirectory = app::currentDirectory();

    QTreeWidget list;
    list.setColumnCount(5);
    const auto rows = testing::resultsRows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        app::appendEmptyRow(&list);
        for (std::size_t column = 0; column < rows[row].size(); ++column)
            app::setCellText(&list, static_cast<int>(row), static_cast<int>(column), rows[row][column]);
    }

    DialogSeen seen;
    // Never hang the suite: whatever modal window is still open well after Enter is closed and reported.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        guard.setInterval(200);
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen.leftOpen << QString::fromLatin1(modal->metaObject()->className());
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });

    QTimer poll;
    poll.setInterval(20);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++ticks > 500)
                poll.stop();
            return;
        }
        poll.stop();
        seen.found = true;
        seen.title = dialog->windowTitle();
        seen.directory = dialog->directory().absolutePath();
        seen.nameFilters = dialog->nameFilters();
        seen.selectedNameFilter = dialog->selectedNameFilter();
        seen.native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        seen.fileName = nameEdit ? nameEdit->text() : QString();

        // Give the folder view a moment to fill before the picture and the key press.
        QTimer::singleShot(400, dialog, [dialog, nameEdit, &guard] {
            if (const char* shots = std::getenv("CORVELLE_SHOT_DIR"))
                dialog->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/export-dialog.png"));
            // Started first: Enter may open a nested modal window that keeps keyClick from returning.
            guard.start(3000);
            QTest::keyClick(nameEdit ? static_cast<QWidget*>(nameEdit) : dialog, Qt::Key_Return);
        });
    });
    poll.start();

    exportResults(nullptr, &list, [] { return std::size_t{3}; });
    guard.stop();
    const std::string written = testing::readFileBytes(expectedFile);
    const std::string untouched = testing::readFileBytes(proposedFile);
    fs::remove(expectedFile);
    fs::remove(proposedFile);
    app::setMessageBoxHandler({});
    setExportClock({});
    if (translated)
        QCoreApplication::removeTranslator(&translator);

    ASSERT_TRUE(seen.found) << "no save dialog appeared";
    EXPECT_TRUE(seen.leftOpen.isEmpty())
        << "still open after Enter: " << seen.leftOpen.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(seen.title, QString::fromUtf8("保存文件"));
    EXPECT_EQ(seen.directory, QCoreApplication::applicationDirPath());
    EXPECT_EQ(seen.fileName, QStringLiteral("2021-10-30-09-05-07.Marlune"));
    ASSERT_EQ(seen.nameFilters.size(), 2);
    EXPECT_EQ(seen.nameFilters.at(0), QString::fromUtf8("TXT文本 (*.txt)"));
    // Qt tidies blanks around a filter text, so the sheet type's leading blank may not survive here.
    EXPECT_EQ(seen.nameFilters.at(1).trimmed(), QString::fromUtf8("Excel工作表 (*.xls)"));
    EXPECT_TRUE(seen.selectedNameFilter.startsWith(QString::fromUtf8("TXT文本")))
        << seen.selectedNameFilter.toStdString();
    EXPECT_FALSE(seen.native);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(app::currentDirectory(), workingDirectory);
    EXPECT_TRUE(testing::matchesGolden(written, "results-3rows.txt"));
    EXPECT_EQ(untouched, "not an export\r\n");
}

}  // namespace
}  // namespace corvelle::exporting
