#include "tools/UnitReport.h"

#include "res/strings/StringTable.h"

#include <algorithm>

namespace {

// Lines from the top of the page: the title, the rule, two empty lines, the
// headings, then the rows.
constexpr int RuleLine = 1;
constexpr int HeadingLine = 4;
constexpr int FirstRowLine = 5;
// The IP address column starts this many average characters from the left.
constexpr int IpAddressIndent = 21;

}  // namespace

std::vector<ReportRow> ReportRows(const CUnitList& units)
{
    std::vector<ReportRow> rows;
    const int count = units.RowCount();
    for (int row = 0; row < count; ++row)
        rows.push_back({units.Text(row, MacAddressColumn), units.Text(row, IpAddressColumn)});
    return rows;
}

std::vector<ReportPage> LayOutUnitReport(const std::vector<ReportRow>& rows, int lineHeight, int charWidth,
                                         int pageHeight)
{
    const int left = 1;
    const int ipLeft = IpAddressIndent * charWidth + 1;
    const auto top = [lineHeight](int line) { return line * lineHeight + 1; };
    // A row fits while its whole line lies within the printable height.
    const int rowsPerPage = std::max(1, (pageHeight - 1) / std::max(1, lineHeight) - FirstRowLine);

    std::vector<ReportPage> pages;
    std::size_t next = 0;
    do {
        ReportPage page{{left, top(0), StringFromTable(StringId::ProductName)},
                        {left, top(RuleLine), StringFromTable(StringId::ReportRule)},
                        {left, top(HeadingLine), StringFromTable(StringId::ColumnMacAddress)},
                        {ipLeft, top(HeadingLine), StringFromTable(StringId::ColumnIpAddress)}};
        for (int line = FirstRowLine; next < rows.size() && line < FirstRowLine + rowsPerPage; ++line, ++next) {
            page.push_back({left, top(line), rows[next].macAddressText});
            page.push_back({ipLeft, top(line), rows[next].ipAddressText});
        }
        pages.push_back(std::move(page));
    } while (next < rows.size());
    return pages;
}
