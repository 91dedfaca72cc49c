// The printed report's layout, in device units, without a printer.

#include "tools/UnitReport.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const PlacedText& text, std::ostream* out)
{
    *out << '(' << text.x << ", " << text.y << ") \"" << text.text.toStdString() << '"';
}

namespace {

const QString Rule(50, u'_');
constexpr int H = 10, W = 5;
// Rows of a page of this height: 5 of them, the last one ending on its edge.
constexpr int FiveRowPage = 10 * H + 1;

std::vector<ReportRow> Rows(int count)
{
    std::vector<ReportRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QStringLiteral("02-4B-7E-00-00-%1").arg(i, 2, 10, QLatin1Char('0')),
                        QStringLiteral("10.0.0.%1").arg(i)});
    return rows;
}

ReportPage HeadingBlock()
{
    return {{1, 1, "Tarvik BootP Tool"}, {1, H + 1, Rule}, {1, 4 * H + 1, "MAC Address"},
            {21 * W + 1, 4 * H + 1, "IP Address"}};
}

TEST(UnitReport, PlacesTheHeadingsThenEachRowALineFurtherDown)
{
    ReportPage expected = HeadingBlock();
    expected.insert(expected.end(), {{1, 5 * H + 1, "02-4B-7E-00-00-00"}, {21 * W + 1, 5 * H + 1, "10.0.0.0"},
                                     {1, 6 * H + 1, "02-4B-7E-00-00-01"}, {21 * W + 1, 6 * H + 1, "10.0.0.1"}});
    EXPECT_EQ(LayOutUnitReport(Rows(2), H, W, 10000), std::vector<ReportPage>{expected});

    EXPECT_EQ(LayOutUnitReport({}, H, W, 10000), std::vector<ReportPage>{HeadingBlock()}) << "an empty list";
}

TEST(UnitReport, RowsPastThePageContinueOnPagesWithTheSameHeadings)
{
    const std::vector<ReportRow> rows = Rows(12);
    const std::vector<ReportPage> pages = LayOutUnitReport(rows, H, W, FiveRowPage);
    ASSERT_EQ(pages.size(), 3u);
    std::size_t next = 0;
    for (const ReportPage& page : pages) {
        ASSERT_GE(page.size(), 6u);
        EXPECT_EQ(ReportPage(page.begin(), page.begin() + 4), HeadingBlock());
        for (std::size_t text = 4; text < page.size(); text += 2, ++next) {
            const int y = (5 + static_cast<int>(text - 4) / 2) * H + 1;
            EXPECT_EQ(page[text], (PlacedText{1, y, rows[next].macAddressText}));
            EXPECT_EQ(page[text + 1], (PlacedText{21 * W + 1, y, rows[next].ipAddressText}));
        }
    }
    EXPECT_EQ(next, rows.size()) << "every row once, in order";
    EXPECT_EQ(pages[0].size(), 4u + 2 * 5) << "a full first page";

    EXPECT_EQ(LayOutUnitReport(Rows(5), H, W, FiveRowPage).size(), 1u) << "five rows just fit";
    EXPECT_EQ(LayOutUnitReport(Rows(5), H, W, FiveRowPage - 1).size(), 2u) << "the fifth row's line is cut";
}

TEST(UnitReport, APageTooSmallForAnyRowStillTakesOneEach)
{
    EXPECT_EQ(LayOutUnitReport(Rows(3), H, W, H).size(), 3u);
    EXPECT_EQ(LayOutUnitReport(Rows(3), 0, 0, 0).size(), 3u);
}

}  // namespace
