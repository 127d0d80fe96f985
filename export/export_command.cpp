// The export command: save dialog, format choice by extension, the two writers and their messages.
#include "export/export_command.h"

#include "app/atomic_write.h"
#include "app/platform.h"
#include "app/windowing.h"
#include "collect/charset.h"
#include "export/list_view_exporter.h"
#include "export/qt_list_source.h"
#include "export/text_export.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <QTreeWidget>

#include <utility>

namespace corvelle::exporting {

namespace {

// The command's fixed texts, converted to GBK once.
struct ExportTexts {
    std::string dialogTitle = collect::utf8ToGbk("保存文件");
    std::string defaultFilters = collect::utf8ToGbk("TXT文档(*.txt)|*.txt|所有文件(*.*)|*.*");
    std::string exportFilters = collect::utf8ToGbk("TXT文本|*.txt| Excel工作表|*.xls");
    std::string listIncomplete = collect::utf8ToGbk("稍等，列表内数据还未加载完毕");
    std::string textFailed = collect::utf8ToGbk("导出到文本，失败？");
    std::string sheetFailed = collect::utf8ToGbk("导出到工作表，失败？");
};

const ExportTexts& texts()
{
    static const ExportTexts kTexts;
    return kTexts;
}

constexpr std::string_view kDefaultNameSuffix = ".Marlune";

std::function<LocalDateTime()>& exportClock()
{
    static std::function<LocalDateTime()> current;
    return current;
}

SaveDialogFunction& dialogFunction()
{
    static SaveDialogFunction current;
    return current;
}

std::string toFileSystem(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromFileSystem(const std::string& path)
{
    return QFile::decodeName(path.c_str());
}

// What Qt's dialog shows for one entry of the type list.
QString nameFilterText(const FileFilter& filter)
{
    QString patterns = app::toQString(filter.pattern);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return app::toQString(filter.description) + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

// A refill that has not finished yet leaves the list shorter than the table (or, just begun, empty).
bool listIncomplete(int rows, const std::function<std::size_t()>& tableSize)
{
    const std::size_t records = tableSize ? tableSize() : 0;
    return rows <= 0 || static_cast<std::size_t>(rows) < records;
}

}  // namespace

std::string dateTimeStamp()
{
    const auto& current = exportClock();
    return exporting::dateTimeStamp(current ? current() : currentLocalDateTime());
}

void setExportClock(std::function<LocalDateTime()> clockFunction)
{
    exportClock() = std::move(clockFunction);
}

SaveDialogAnswer runQtSaveDialog(const SaveDialogRequest& request)
{
    QFileDialog dialog(request.owner, app::toQString(request.title),
                       fromFileSystem(request.initialDirectory));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // A chosen file is replaced without a question, and the extension rule applied after the dialog may
    // change the name, so a question about the typed name could be about the wrong file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);

    QStringList nameFilters;
    for (const FileFilter& filter : request.filters)
        nameFilters << nameFilterText(filter);
    dialog.setNameFilters(nameFilters);
    if (request.filterIndex >= 1 && request.filterIndex <= nameFilters.size())
        dialog.selectNameFilter(nameFilters.at(request.filterIndex - 1));
    dialog.selectFile(app::toQString(request.defaultName));

    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};

    // Qt may tidy the blanks of a filter text, so the selection is matched the same way.
    const QString selected = dialog.selectedNameFilter().simplified();
    int selectedFilter = request.filterIndex;
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        if (nameFilters.at(i).simplified() == selected)
            selectedFilter = static_cast<int>(i) + 1;
    }
    return {toFileSystem(files.first()), selectedFilter};
}

void setSaveDialogFunction(SaveDialogFunction dialog)
{
    dialogFunction() = std::move(dialog);
}

std::string askSaveFileName(QWidget* owner, const std::string& initialDirectory,
                            const std::optional<std::string>& title, const std::string& defaultName,
                            const std::optional<std::string>& filters, int filterIndex, bool keepDirectory)
{
    const std::string workingDirectory = app::currentDirectory();

    SaveDialogRequest request;
    request.owner = owner;
    request.initialDirectory = initialDirectory.empty() ? workingDirectory : initialDirectory;
    request.title = title.value_or(texts().dialogTitle);
    request.defaultName = defaultName;
    request.filters = parseFilters(filters.value_or(texts().defaultFilters));
    request.filterIndex = filterIndex < 1 ? 1 : filterIndex;
    if (static_cast<std::size_t>(request.filterIndex) > request.filters.size())
        request.filterIndex = 1;

    const SaveDialogFunction& dialog = dialogFunction();
    const SaveDialogAnswer answer = dialog ? dialog(request) : runQtSaveDialog(request);

    // The settings file is looked up in the working directory, so a dialog that wandered must not move it.
    if (!keepDirectory && !workingDirectory.empty())
        app::setCurrentDirectory(workingDirectory);

    return withChosenExtension(answer.path, request.filters, answer.selectedFilter);
}

void exportResults(QWidget* owner, QTreeWidget* resultsList, const std::function<std::size_t()>& tableSize)
{
    ListViewExporter sheetWriter;
    const QtListSource list(resultsList);

    const int rows = list.rowCount();
    if (rows == 0)
        return;
    if (listIncomplete(rows, tableSize)) {
        app::showMessage(texts().listIncomplete);
        return;
    }

    std::string directory = toFileSystem(QCoreApplication::applicationDirPath());
    app::withTrailingBackslash(directory);
    const std::string defaultName = dateTimeStamp() + std::string(kDefaultNameSuffix);
    const std::string path =
        askSaveFileName(owner, directory, std::nullopt, defaultName, texts().exportFilters, 1);

    const std::string extension = extensionOfName(fileNameOfPath(path));
    const bool asText = extension == "txt";
    const bool asSheet = extension == "xls";
    if (!asText && !asSheet)
        return;

    // The dialog ran an event loop in which rows of an earlier refill may have arrived: export only a
    // complete list. Each writer then reads every cell in one go on this thread, where no row can
    // arrive, so the file holds one consistent list.
    if (listIncomplete(list.rowCount(), tableSize)) {
        app::showMessage(texts().listIncomplete);
        return;
    }

    if (asText) {
        if (!app::replaceFileContent(path, listToText(list)).ok)
            app::showMessage(texts().textFailed);
        return;
    }
    // A refused binding needs no check of its own: the unbound writer then reports failure.
    sheetWriter.bindToList(&list);
    if (!sheetWriter.writeHtmlTable(path, false))
        app::showMessage(texts().sheetFailed);
}

}  // namespace corvelle::exporting
