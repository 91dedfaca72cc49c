#include "cli/UnitListener.h"


#include <QDateTime>

UnitListener::UnitListener(std::FILE* out, bool csv) : out(out), csv(csv)
{
    if (csv)
        Print(QStringLiteral("time,mac,interface"));
}

bool UnitListener::Listen()
{
    return listener.Create();
}

void UnitListener::OnBootRequest(const BootRequest& request, const NetworkInterface& arrival)
{
    const int listed = units.RowCount();
    const int row = units.OnBootRequest(request, arrival);
    const QString mac = units.Text(row, MacAddressColumn);
    ++requests[mac];
    if (units.RowCount() == listed)
        return;
    const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    Print(csv ? QStringList{time, mac, arrival.name}.join(QLatin1Char(','))
              : QStringLiteral("%1  %2  %3").arg(time, mac, arrival.name));
}

void UnitListener::Finish()
{
    listener.Close();
    // Oldest first, as they were printed.
    if (csv)
        Print(QStringLiteral("\nmac,interface,requests"));
    else
        Print(QStringLiteral("%1 unit%2 heard").arg(units.RowCount()).arg(units.RowCount() == 1 ? "" : "s"));
    for (int row = units.RowCount() - 1; row >= 0; --row) {
        const QString mac = units.Text(row, MacAddressColumn);
        const QString interfaceName = units.ArrivalInterface(row).name;
        const int count = requests.value(mac);
        Print(csv ? QStringLiteral("%1,%2,%3").arg(mac, interfaceName).arg(count)
                  : QStringLiteral("  %1  %2  %3 request%4").arg(mac, interfaceName).arg(count).arg(count == 1 ? "" : "s"));
    }
}

void UnitListener::Print(const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
    std::fflush(out);
}
