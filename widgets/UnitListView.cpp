#include "widgets/UnitListView.h"

#include "res/DialogUnits.h"
#include "roster/UnitList.h"

#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

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
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    FitColumnsToFont();
}

void CUnitListView::FitColumnsToFont()
{
    // The template's widths scaled as the dialogs are, yet never so narrow
    // that a caption or a cell's text would be cut short: wider columns
    // scroll sideways instead.
    const DialogUnits units(font());
    // Text is laid out in fractions of a pixel; whole pixels would round a
    // width down and cut its last character.
    const QFontMetricsF metrics(font());
    // The cell's text keeps this much clear on either side.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    for (int column = 0; column < UnitColumnCount; ++column) {
        int width = std::max(units.TemplatePixelsAcross(CUnitList::ColumnWidths[static_cast<std::size_t>(column)]),
                             header()->sectionSizeHint(column));
        for (const QString& text : CUnitList::WidestTextCandidates(column))
            width = std::max(width, static_cast<int>(std::ceil(metrics.horizontalAdvance(text))) + 2 * textMargin);
        header()->resizeSection(column, width);
    }
}

bool CUnitListView::event(QEvent* event)
{
    // Text is laid out for the screen's pixels: on another screen, or at
    // another scale, the same font can take other widths.
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    const bool otherPixels = event->type() == QEvent::ScreenChangeInternal ||
                             event->type() == QEvent::DevicePixelRatioChange;
#else
    const bool otherPixels = event->type() == QEvent::ScreenChangeInternal;
#endif
    const bool handled = QTreeView::event(event);
    if (otherPixels)
        FitColumnsToFont();
    return handled;
}

void CUnitListView::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    // The desktop's font grows while the program runs.
    if (event->type() == QEvent::FontChange)
        FitColumnsToFont();
}

void CUnitListView::mousePressEvent(QMouseEvent* event)
{
    // As in the platform's single-selection list, a press where no row
    // stands leaves no row selected.
    if (!indexAt(event->position().toPoint()).isValid())
        clearSelection();
    QTreeView::mousePressEvent(event);
}

void CUnitListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    // The platform reports only the primary button's double-click.
    if (event->button() == Qt::LeftButton)
        emit DoubleClicked();
}
