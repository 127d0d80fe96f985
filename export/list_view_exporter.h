// ListViewExporter: writes a bound report list to a file as a plain HTML table that spreadsheet
// programs open as a worksheet.
#pragma once

#include "export/list_source.h"

#include <string>
#include <string_view>

namespace corvelle::exporting {

// The kind of the results list: the class name of the toolkit's report list.
inline constexpr std::string_view kResultsListKind = "QTreeWidget";

// Buffer sizes, terminating zero included, with which cells and titles are read.
inline constexpr int kCellCapacity = 1024;
inline constexpr int kTitleCapacity = 260;

// The longest start of a GBK text that fits a buffer of capacity bytes with its terminating zero,
// never ending on the first half of a two-byte character.
[[nodiscard]] std::string capToCapacity(std::string_view gbk, int capacity);

// "&", "<" and ">" written as HTML character references; every other byte unchanged. None of the three
// can be the second byte of a GBK character, so the text stays valid GBK.
[[nodiscard]] std::string escapeHtml(std::string_view gbk);

class ListViewExporter {
public:
    ListViewExporter() = default;

    // Binds to list when its kind equals expectedKind byte for byte; otherwise returns false and keeps
    // whatever binding there was. The list must outlive the binding.
    bool bindToList(const ListSource* list, std::string_view expectedKind = kResultsListKind);

    // 0 while nothing is bound.
    [[nodiscard]] int columnCount() const;
    [[nodiscard]] int rowCount() const;
    // A cell or title read into a buffer of capacity bytes (see capToCapacity); empty when it cannot
    // be read.
    [[nodiscard]] std::string cellText(int row, int column, int capacity = kTitleCapacity) const;
    [[nodiscard]] std::string columnTitle(int column) const;

    // The whole file content, or the empty text when the list has no rows or no columns (or nothing
    // is bound). All cells are read in one go.
    [[nodiscard]] std::string htmlTable(bool withTitleRow) const;

    // Writes htmlTable to path through a temporary file renamed over it; false when there is nothing
    // to write or any step fails, and then an existing file at path keeps its content.
    [[nodiscard]] bool writeHtmlTable(const std::string& path, bool withTitleRow) const;

private:
    const ListSource* m_list = nullptr;
};

}  // namespace corvelle::exporting
