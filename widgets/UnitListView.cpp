#include "widgets/UnitListView.h"

#include "res/DialogUnits.h"
#include "roster/UnitList.h"

#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

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

void CUnitListView::initViewItemOption(QStyleOptionViewItem* option) const
{
    QTreeView::initViewItemOption(option);
    // Item views draw their selection as inactive once they lose the focus,
    // even within the active window: in the palette's inactive highlight,
    // which some desktops make pale, or on Windows in the theme's
    // near-white "selected, not focused" plate. Here the row the operator
    // chose must stay plain while they go on to a button, so the selection
    // is drawn as active whenever the window is.
    if (isActiveWindow())
        option->state |= QStyle::State_Active;
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
    if (event->type() == QEvent::Paint)
        DrawFrameOnWholePixels();
    return handled;
}

void CUnitListView::DrawFrameOnWholePixels()
{
    // At a fractional device pixel ratio the style draws the frame's lines a
    // logical pixel wide, and the header and the rows, rounded outwards to
    // whole device pixels, paint over them: the right and bottom lines go,
    // at some places the left and top ones too (Qt's rounding under
    // fractional scaling, QTBUG-96223). The lines are drawn again, in the
    // style's colours, on the outermost whole device pixels of the list,
    // which nothing paints over.
    const qreal ratio = devicePixelRatioF();
    if (frameWidth() == 0 || ratio == std::floor(ratio))
        return;
    QStyleOptionFrame option;
    initStyleOption(&option);
    QImage sample(9, 9, QImage::Format_ARGB32_Premultiplied);
    sample.fill(Qt::transparent);
    option.rect = sample.rect();
    {
        QPainter painter(&sample);
        style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
    }
    // In device pixels from the window's corner, as the window is painted.
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * ratio;
    const QPointF end = QPointF(mapTo(window(), QPoint(width(), height()))) * ratio;
    const int left = static_cast<int>(std::ceil(origin.x()));
    const int top = static_cast<int>(std::ceil(origin.y()));
    const int right = static_cast<int>(std::floor(end.x())) - 1;
    const int bottom = static_cast<int>(std::floor(end.y())) - 1;
    QPainter painter(this);
    painter.scale(1 / ratio, 1 / ratio);
    painter.translate(-origin);
    const int middle = sample.width() / 2, last = sample.width() - 1;
    painter.fillRect(QRect(left, top, 1, bottom - top + 1), sample.pixelColor(0, middle));
    painter.fillRect(QRect(left, top, right - left + 1, 1), sample.pixelColor(middle, 0));
    painter.fillRect(QRect(right, top, 1, bottom - top + 1), sample.pixelColor(last, middle));
    painter.fillRect(QRect(left, bottom, right - left + 1, 1), sample.pixelColor(middle, last));
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
