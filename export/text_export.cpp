// The tab-separated text of a report list.
#include "export/text_export.h"

namespace corvelle::exporting {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

std::string listToText(const ListSource& list)
{
    const int rows = list.rowCount();
    std::vector<std::string> lines(static_cast<std::size_t>(rows > 0 ? rows : 0));
    for (int row = 0; row < rows; ++row) {
        std::string& line = lines[static_cast<std::size_t>(row)];
        // The column count is asked per row, as the list may report it differently for each.
        const int columns = list.columnCount();
        for (int column = 0; column < columns; ++column) {
            line += list.cellText(row, column);
            line += '\t';
        }
    }
    return joinLines(lines);
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string joined;
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + kLineBreak.size();
    joined.reserve(size);
    for (const std::string& line : lines) {
        joined += line;
        joined += kLineBreak;
    }
    return trimLineBreaks(joined);
}

std::string trimLineBreaks(std::string_view text)
{
    while (text.ends_with(kLineBreak))
        text.remove_suffix(kLineBreak.size());
    while (text.starts_with(kLineBreak))
        text.remove_prefix(kLineBreak.size());
    return std::string(text);
}

}  // namespace corvelle::exporting
