// The list as the operator sees and clicks it.

#include "QtPrinting.h"
#include "UnitList.h"
#include "UnitListView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class UnitListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* mac : {"02-4B-7E-00-00-01", "02-4B-7E-00-00-02", "02-4B-7E-00-00-03"})
            units.OnBootRequest(mac, 1, 1);
        view.resize(500, 300);
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

} // namespace
