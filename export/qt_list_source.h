// The results list's Qt view read as a ListSource; the GBK conversion goes through the windowing layer.
#pragma once

#include "export/list_source.h"

class QTreeWidget;
class QWidget;

namespace corvelle::exporting {

// Reads a Qt control. Only a QTreeWidget (or a class derived from it, as a subclassed control keeps its
// kind) has rows and cells; any other control reports its own class name as kind and 0 rows and columns.
// The control must outlive this object and be read on the UI thread.
class QtListSource final : public ListSource {
public:
    explicit QtListSource(const QWidget* control);

    [[nodiscard]] int rowCount() const override;
    [[nodiscard]] int columnCount() const override;
    [[nodiscard]] std::string cellText(int row, int column) const override;
    [[nodiscard]] std::string columnTitle(int column) const override;
    [[nodiscard]] std::string kind() const override;

private:
    const QWidget* m_control;
    const QTreeWidget* m_list;  // m_control as a report list, or null
};

}  // namespace corvelle::exporting
