// A report list held in memory.
#include "export/memory_list.h"

#include <utility>

namespace corvelle::exporting {

namespace {

template <typename Texts> std::string textAt(const Texts& texts, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= texts.size())
        return {};
    return texts[static_cast<std::size_t>(index)];
}

}  // namespace

MemoryList::MemoryList(std::vector<std::string> titles, std::vector<std::vector<std::string>> rows,
                       std::string kind)
    : m_titles(std::move(titles)), m_rows(std::move(rows)), m_kind(std::move(kind))
{
}

int MemoryList::rowCount() const
{
    return static_cast<int>(m_rows.size());
}

int MemoryList::columnCount() const
{
    return static_cast<int>(m_titles.size());
}

std::string MemoryList::cellText(int row, int column) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return {};
    return textAt(m_rows[static_cast<std::size_t>(row)], column);
}

std::string MemoryList::columnTitle(int column) const
{
    return textAt(m_titles, column);
}

}  // namespace corvelle::exporting
