#pragma once

#include "roster/UnitList.h"

#include <QString>

#include <vector>

// The printed report of the unit list, laid out in the printer's device units
// so it can be checked without a printer.

struct ReportRow {
    QString macAddressText;
    QString ipAddressText;
};

// One text, placed by its top-left corner.
struct PlacedText {
    int x;
    int y;
    QString text;
    bool operator==(const PlacedText&) const = default;
};

using ReportPage = std::vector<PlacedText>;

// The list's MAC and IP addresses, top row first.
std::vector<ReportRow> ReportRows(const CUnitList& units);

// Each page starts with the title, the rule and the two column headings;
// the rows follow a line apart, and those past the bottom of the printable
// height continue on the next page. `lineHeight` and `charWidth` are the
// height and average character width of the printer's font. There is
// always at least one page and at least one row on each page.
std::vector<ReportPage> LayOutUnitReport(const std::vector<ReportRow>& rows, int lineHeight, int charWidth,
                                         int pageHeight);
