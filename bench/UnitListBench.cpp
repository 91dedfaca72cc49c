// What hearing a unit costs as the list grows: a plant powering up can put
// thousands of units in the list within seconds, and every request is
// matched against every row before a new unit goes in at the top. The list
// is measured with its view attached and shown (offscreen), as in the window.
// Figures are ratios against the smallest list, taken in one run.

#include "core/AddressText.h"
#include "roster/UnitList.h"
#include "tests/support/UnitRows.h"
#include "widgets/UnitListView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <vector>

namespace {

QString UnitMac(int unit)
{
    return QString::fromStdString(
        FormatHardwareAddress({0x02, 0x4B, 0x7E, 0x00, static_cast<std::uint8_t>(unit >> 8),
                               static_cast<std::uint8_t>(unit & 0xFF)}));
}

struct Costs {
    double newUnitMicroseconds;
    double repeatMicroseconds;
};

Costs Measure(int units)
{
    CUnitList list;
    CUnitListView view(list);
    view.resize(600, 400);
    view.show();
    // Keeps a selection, which must follow its unit down the list.
    list.OnBootRequest(UnitMac(0), RequestWithXid(0), {1});
    list.selection.select(list.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    QElapsedTimer timer;
    timer.start();
    for (int unit = 1; unit < units; ++unit) {
        list.OnBootRequest(UnitMac(unit), RequestWithXid(static_cast<TransactionId>(unit)), {1});
        QApplication::processEvents();
    }
    const double insertNanoseconds = static_cast<double>(timer.nsecsElapsed());

    timer.restart();
    for (int unit = 0; unit < units; ++unit) {
        list.OnBootRequest(UnitMac(unit), RequestWithXid(static_cast<TransactionId>(unit + 1)), {1});
        QApplication::processEvents();
    }
    const double repeatNanoseconds = static_cast<double>(timer.nsecsElapsed());
    if (list.FindSelectedRow() != units - 1)
        std::fprintf(stderr, "the selection lost its unit\n");
    return {insertNanoseconds / 1000 / (units - 1), repeatNanoseconds / 1000 / units};
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<int> sizes{100, 1000, 3000, 6500};
    std::vector<Costs> costs;
    for (const int units : sizes)
        costs.push_back(Measure(units));
    std::printf("units  new-unit cost  repeat cost   (per request, relative to %d units)\n", sizes.front());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        std::printf("%5d  %13.2f  %11.2f\n", sizes[i], costs[i].newUnitMicroseconds / costs[0].newUnitMicroseconds,
                    costs[i].repeatMicroseconds / costs[0].repeatMicroseconds);
    }
    std::printf("100-unit baseline: new unit %.1f us, repeat %.1f us per request\n", costs[0].newUnitMicroseconds,
                costs[0].repeatMicroseconds);
    return 0;
}
