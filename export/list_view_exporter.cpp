// ListViewExporter: a bound report list as an HTML table file.
#include "export/list_view_exporter.h"

#include "app/atomic_write.h"
#include "collect/text_rules.h"

namespace corvelle::exporting {

namespace {

// The longest kind a control reports, as a window class name of at most 49 characters.
constexpr std::size_t kMaxKindLength = 49;

void appendLine(std::string& out, std::string_view text)
{
    out += text;
    out += "\r\n";
}

void appendElement(std::string& out, std::string_view open, std::string_view gbk, std::string_view close)
{
    out += open;
    out += escapeHtml(gbk);
    out += close;
    out += "\r\n";
}

}  // namespace

std::string capToCapacity(std::string_view gbk, int capacity)
{
    if (capacity <= 1)
        return {};
    const std::size_t limit = static_cast<std::size_t>(capacity) - 1;
    if (gbk.size() <= limit)
        return std::string(gbk);
    std::size_t end = 0;
    while (end < gbk.size()) {
        const bool pair = collect::isLeadByte(static_cast<unsigned char>(gbk[end])) && end + 1 < gbk.size();
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > limit)
            break;
        end = next;
    }
    return std::string(gbk.substr(0, end));
}

std::string escapeHtml(std::string_view gbk)
{
    std::string escaped;
    escaped.reserve(gbk.size());
    for (char byte : gbk) {
        switch (byte) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += byte;
        }
    }
    return escaped;
}

bool ListViewExporter::bindToList(const ListSource* list, std::string_view expectedKind)
{
    if (!list)
        return false;
    std::string kind = list->kind();
    if (kind.size() > kMaxKindLength)
        kind.resize(kMaxKindLength);
    if (kind != expectedKind)
        return false;
    m_list = list;
    return true;
}

int ListViewExporter::columnCount() const
{
    return m_list ? m_list->columnCount() : 0;
}

int ListViewExporter::rowCount() const
{
    return m_list ? m_list->rowCount() : 0;
}

std::string ListViewExporter::cellText(int row, int column, int capacity) const
{
    if (!m_list || row < 0 || column < 0)
        return {};
    return capToCapacity(m_list->cellText(row, column), capacity);
}

std::string ListViewExporter::columnTitle(int column) const
{
    if (!m_list || column < 0)
        return {};
    return capToCapacity(m_list->columnTitle(column), kTitleCapacity);
}

std::string ListViewExporter::htmlTable(bool withTitleRow) const
{
    const int columns = columnCount();
    const int rows = rowCount();
    if (columns <= 0 || rows <= 0)
        return {};

    std::string out;
    appendLine(out, "<table border=\"1\">");
    if (withTitleRow) {
        appendLine(out, "  <tr>");
        for (int column = 0; column < columns; ++column)
            appendElement(out, "    <th>", columnTitle(column), "</th>");
        appendLine(out, "  </tr>");
    }
    for (int row = 0; row < rows; ++row) {
        appendLine(out, "  <tr>");
        for (int column = 0; column < columns; ++column)
            appendElement(out, "    <td>", cellText(row, column, kCellCapacity), "</td>");
        appendLine(out, "  </tr>");
    }
    appendLine(out, "</table>");
    return out;
}

bool ListViewExporter::writeHtmlTable(const std::string& path, bool withTitleRow) const
{
    const std::string table = htmlTable(withTitleRow);
    if (table.empty())
        return false;
    return app::replaceFileContent(path, table).ok;
}

}  // namespace corvelle::exporting
