// A report list held in memory: the titles and cell texts of a list, read through ListSource.
#pragma once

#include "export/list_source.h"

#include <string>
#include <vector>

namespace corvelle::exporting {

class MemoryList final : public ListSource {
public:
    // Each row may be shorter or longer than the titles; the column count is the number of titles.
    MemoryList(std::vector<std::string> titles, std::vector<std::vector<std::string>> rows, std::string kind);

    [[nodiscard]] int rowCount() const override;
    [[nodiscard]] int columnCount() const override;
    [[nodiscard]] std::string cellText(int row, int column) const override;
    [[nodiscard]] std::string columnTitle(int column) const override;
    [[nodiscard]] std::string kind() const override { return m_kind; }

private:
    std::vector<std::string> m_titles;
    std::vector<std::vector<std::string>> m_rows;
    std::string m_kind;
};

}  // namespace corvelle::exporting
