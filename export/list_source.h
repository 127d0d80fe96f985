// The read-only view of a report list that both export writers read: counts, cell texts, titles, kind.
#pragma once

#include <string>

namespace corvelle::exporting {

// Rows and columns count from 0. Texts are GBK bytes; a cell or column that cannot be read gives the
// empty text.
class ListSource {
public:
    virtual ~ListSource() = default;

    [[nodiscard]] virtual int rowCount() const = 0;
    [[nodiscard]] virtual int columnCount() const = 0;
    [[nodiscard]] virtual std::string cellText(int row, int column) const = 0;
    [[nodiscard]] virtual std::string columnTitle(int column) const = 0;
    // The kind of control behind the list (for a Qt view its class name), so a writer can refuse to
    // read a control that is not the report list it expects.
    [[nodiscard]] virtual std::string kind() const = 0;
};

}  // namespace corvelle::exporting
