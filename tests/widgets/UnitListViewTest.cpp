// The list as the operator sees and clicks it.

#include "roster/UnitList.h"
#include "widgets/UnitListView.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/UnitRows.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class UnitListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* mac : {"02-4B-7E-00-00-01", "02-4B-7E-00-00-02", "02-4B-7E-00-00-03"})
            units.OnBootRequest(mac, RequestWithXid(1), {1});
        view.resize(700, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint CellCentre(int row, int column)
    {
        return view.visualRect(units.index(row, column)).center();
    }

    CUnitList units;
    CUnitListView view{units};
};

TEST_F(UnitListViewTest, AClickAnywhereInARowSelectsThatRowAlone)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(1, GatewayColumn));
    EXPECT_EQ(units.FindSelectedRow(), 1);
    EXPECT_EQ(units.selection.selectedIndexes().size(), UnitColumnCount) << "the whole row";

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(2, SentColumn));
    EXPECT_EQ(units.FindSelectedRow(), 2);
    EXPECT_EQ(units.selection.selectedRows().size(), 1) << "one row at most";

    // Header clicks do not sort: the newest unit stays on top.
    QTest::mouseClick(view.header()->viewport(), Qt::LeftButton, {},
                      QPoint(view.header()->sectionViewportPosition(0) + 10, view.header()->height() / 2));
    EXPECT_EQ(units.Text(0, MacAddressColumn), "02-4B-7E-00-00-03");
}

TEST_F(UnitListViewTest, DoubleClickOpensNoEditorAndIsReportedAnywhere)
{
    QSignalSpy doubleClicks(&view, &CUnitListView::DoubleClicked);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(0, IpAddressColumn));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, CellCentre(0, IpAddressColumn));
    EXPECT_EQ(view.findChild<QLineEdit*>(), nullptr) << "no text is edited in place";
    EXPECT_EQ(units.Text(0, IpAddressColumn), "0.0.0.0");

    const QPoint belowTheRows(20, view.viewport()->height() - 5);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, belowTheRows);
    EXPECT_EQ(doubleClicks.count(), 2);
}

TEST_F(UnitListViewTest, HeaderSectionsCannotBeDraggedToAnotherPlaceButCanBeResized)
{
    QHeaderView* header = view.header();
    const auto inSection = [&](int column, int fromLeft) {
        return QPoint(header->sectionViewportPosition(column) + fromLeft, header->height() / 2);
    };
    // Dragged by its caption onto the Gateway column.
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, inSection(IpAddressColumn, 20));
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(header->viewport(), inSection(IpAddressColumn, 20 + step * header->sectionSize(1) / 4));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, inSection(GatewayColumn, 20));
    for (int column = 0; column < UnitColumnCount; ++column)
        EXPECT_EQ(header->visualIndex(column), column);

    const int before = header->sectionSize(IpAddressColumn);
    const QPoint divider(header->sectionViewportPosition(IpAddressColumn) + before - 1, header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, divider);
    QTest::mouseMove(header->viewport(), divider + QPoint(30, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, divider + QPoint(30, 0));
    EXPECT_EQ(header->sectionSize(IpAddressColumn), before + 30);
}

// Rows holding the widest texts the columns can show, under the captions: at
// the default font, then after the font changes while the list is shown, to
// one half larger and to a fixed-pitch font, whose digits are as wide as its
// average letter.
TEST(UnitListViewFont, EveryCellAndCaptionShowsWholeAtTheDefaultFontAndAfterItChanges)
{
    const QFont defaultFont = QApplication::font();
    QFont larger = defaultFont;
    larger.setPointSizeF(defaultFont.pointSizeF() * 1.5);
    QFont fixedPitch = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixedPitch.setPointSizeF(defaultFont.pointSizeF());
    CUnitList units;
    units.OnBootRequest("02-4B-7E-FF-FF-FF", RequestWithXid(1), {1});
    units.OnBootRequest("02-4B-7E-DD-DD-DD", RequestWithXid(2), {1});
    for (int column = IpAddressColumn; column <= GatewayColumn; ++column)
        units.SetText(0, column, "255.255.255.255");
    units.SetText(1, IpAddressColumn, "188.188.188.188");
    units.SetSentStatus(0, true);
    CUnitListView view(units);
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    for (const QFont& font : {defaultFont, larger, fixedPitch}) {
        const std::string where = font.family().toStdString() + " " + std::to_string(font.pointSizeF()) + " pt";
        view.setFont(font);

        const QFontMetrics metrics(view.font());
        const int margins = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
        for (int row = 0; row < units.RowCount(); ++row) {
            for (int column = 0; column < UnitColumnCount; ++column) {
                const QString text = units.Text(row, column);
                const int room = view.visualRect(units.index(row, column)).width() - margins;
                EXPECT_EQ(metrics.elidedText(text, Qt::ElideRight, room).toStdString(), text.toStdString()) << where;
            }
        }
        for (int column = 0; column < UnitColumnCount; ++column) {
            const QString caption = units.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            EXPECT_GE(view.header()->sectionSize(column), view.header()->sectionSizeHint(column))
                << caption.toStdString() << " at " << where;
        }
        EXPECT_GT(view.horizontalScrollBar()->maximum(), 0) << "wider than the view, the list scrolls sideways";
    }
}

TEST_F(UnitListViewTest, TheSelectedRowStaysAsPlainWhenTheFocusMovesOn)
{
    // A pale inactive highlight, as some desktops and Windows' theme draw.
    QPalette colours = view.palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xf4, 0xf4, 0xf4));
    view.setPalette(colours);
    QPushButton elsewhere("PING Selected", &view);
    elsewhere.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCentre(1, MacAddressColumn));
    view.setFocus();
    // A spot of the selected row where no text, nor the focus frame, is drawn.
    const QRect lastCell = view.visualRect(units.index(1, SentColumn));
    const QPoint plate(lastCell.right() - 6, lastCell.center().y());
    const QColor focused = view.viewport()->grab().toImage().pixelColor(plate);

    elsewhere.setFocus();
    ASSERT_FALSE(view.hasFocus());
    // The style may shade a focused row a shade apart; the pale one is far off.
    const QColor unfocused = view.viewport()->grab().toImage().pixelColor(plate);
    const int apart = std::abs(unfocused.red() - focused.red()) + std::abs(unfocused.green() - focused.green()) +
                      std::abs(unfocused.blue() - focused.blue());
    EXPECT_LE(apart, 12) << qPrintable(unfocused.name()) << " after " << qPrintable(focused.name());
}

} // namespace
