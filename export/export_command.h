// The export command behind the "导出" label: asks for a file name and writes the results list as
// tab-separated text (.txt) or as an HTML table that spreadsheet programs open (.xls).
#pragma once

#include "export/file_naming.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QTreeWidget;
class QWidget;

namespace corvelle::exporting {

// Runs on the UI thread when the label is pressed. Does nothing for an empty list; shows the waiting
// message while the list holds fewer rows than the result table (tableSize), before the dialog and
// again after it; otherwise writes the chosen file and shows a message only when the write failed.
void exportResults(QWidget* owner, QTreeWidget* resultsList, const std::function<std::size_t()>& tableSize);

// The current local date and time as dateTimeStamp text, from the clock set below.
[[nodiscard]] std::string dateTimeStamp();
// Replaces the clock (tests); an empty function restores the system clock.
void setExportClock(std::function<LocalDateTime()> clock);

// What the save dialog is asked. Paths are in the file system's encoding; texts are GBK.
struct SaveDialogRequest {
    QWidget* owner = nullptr;
    std::string initialDirectory;
    std::string title;
    std::string defaultName;
    std::vector<FileFilter> filters;
    int filterIndex = 1;  // 1-based, always valid when filters is not empty
};

// The dialog's answer: the path as the user confirmed it (empty when cancelled) and the filter
// selected at that moment (1-based).
struct SaveDialogAnswer {
    std::string path;
    int selectedFilter = 1;
};

using SaveDialogFunction = std::function<SaveDialogAnswer(const SaveDialogRequest&)>;

// Qt's own save dialog (not the desktop's native one, so it behaves the same everywhere); it never
// asks before replacing a file.
[[nodiscard]] SaveDialogAnswer runQtSaveDialog(const SaveDialogRequest& request);
// Replaces the dialog (tests); an empty function restores runQtSaveDialog.
void setSaveDialogFunction(SaveDialogFunction dialog);

// Shows the save dialog and returns the chosen path in the file system's encoding, with the selected
// type's extension added by withChosenExtension, or the empty text when cancelled. initialDirectory
// empty: the current working directory. title and filters (GBK, "description|pattern|...") default
// to "保存文件" and "TXT文档(*.txt)|*.txt|所有文件(*.*)|*.*"; filterIndex 0 means 1. Unless
// keepDirectory, the working directory is set back afterwards, whatever the dialog did.
[[nodiscard]] std::string askSaveFileName(QWidget* owner, const std::string& initialDirectory = {},
                                          const std::optional<std::string>& title = std::nullopt,
                                          const std::string& defaultName = {},
                                          const std::optional<std::string>& filters = std::nullopt,
                                          int filterIndex = 0, bool keepDirectory = false);

}  // namespace corvelle::exporting
