#include "UnitListView.h"

#include "UnitList.h"

#include <QHeaderView>

CUnitListView::CUnitListView(CUnitList& units, QWidget* parent) : QTreeView(parent)
{
    setModel(&units);
    setSelectionModel(&units.selection);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    for (int column = 0; column < UnitColumnCount; ++column)
        header()->resizeSection(column, CUnitList::ColumnWidths[static_cast<std::size_t>(column)]);
}

void CUnitListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    emit DoubleClicked();
}
