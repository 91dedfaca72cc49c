#include "lab/unitsim/SimulatorOptions.h"
#include "lab/unitsim/UnitSimulator.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const auto options = ParseSimulatorOptions(app.arguments());
    if (!options)
        return 2;
    return UnitSimulator(*options).Run();
}
