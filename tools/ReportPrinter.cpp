#include "tools/ReportPrinter.h"

#include "res/MessageBox.h"
#include "tools/UnitReport.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

void PrintUnitList(QWidget* owner, const CUnitList& units)
{
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        // Qt would otherwise print silently on some other printer, or on none.
        ShowMessageBox(owner, QCoreApplication::translate("ReportPrinter",
                                                          "There is no default printer, so the list was not "
                                                          "printed. Choose a default printer in the system's "
                                                          "printer settings, then print again."));
        return;
    }
    const std::vector<ReportRow> rows = ReportRows(units);

    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    printer.setDocName(QString::fromLatin1(UnitListName));
    QPainter painter;
    // As a job the spooler refuses: nothing is printed.
    if (!painter.begin(&printer))
        return;
    // The painter's own font, measured on the printer: device units, origin
    // at the top-left of the printable area.
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<ReportPage> pages =
        LayOutUnitReport(rows, metrics.height(), metrics.averageCharWidth(), printer.height());
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            printer.newPage();
        // Placed by the top-left corner; drawText takes the baseline.
        for (const PlacedText& line : pages[page])
            painter.drawText(QPoint(line.x, line.y + metrics.ascent()), line.text);
    }
    painter.end();
}
