// The results list's Qt view read as a ListSource.
#include "export/qt_list_source.h"

#include "app/windowing.h"

#include <QTreeWidget>

namespace corvelle::exporting {

QtListSource::QtListSource(const QWidget* control)
    : m_control(control), m_list(qobject_cast<const QTreeWidget*>(control))
{
}

int QtListSource::rowCount() const
{
    return m_list ? app::rowCount(m_list) : 0;
}

int QtListSource::columnCount() const
{
    return m_list ? app::columnCount(m_list) : 0;
}

std::string QtListSource::cellText(int row, int column) const
{
    if (!m_list || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return app::cellText(m_list, row, column);
}

std::string QtListSource::columnTitle(int column) const
{
    if (!m_list || column < 0 || column >= columnCount())
        return {};
    return app::columnTitle(m_list, column);
}

std::string QtListSource::kind() const
{
    if (m_list)
        return QTreeWidget::staticMetaObject.className();
    return m_control ? m_control->metaObject()->className() : std::string();
}

}  // namespace corvelle::exporting
