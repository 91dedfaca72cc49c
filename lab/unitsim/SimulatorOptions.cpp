#include "lab/unitsim/SimulatorOptions.h"

#include "core/AddressText.h"
#include "core/BootpProtocol.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<OddDatagram, const char*>, 6> OddDatagramNames{{
    {OddDatagram::WrongOp, "wrong-op"},
    {OddDatagram::WrongHardwareType, "wrong-htype"},
    {OddDatagram::ForeignPrefix, "foreign-prefix"},
    {OddDatagram::Oversize, "oversize"},
    {OddDatagram::Short, "short"},
    {OddDatagram::Minimal, "minimal"},
}};

std::optional<OddDatagram> OddDatagramFromName(const QString& name)
{
    for (const auto& [kind, text] : OddDatagramNames) {
        if (name == QLatin1String(text))
            return kind;
    }
    return std::nullopt;
}

std::optional<HardwareAddress> MacFromText(QString text)
{
    text.replace(':', '-');
    if (text.size() != 17)
        return std::nullopt;
    const HardwareAddress mac = ParseHardwareAddress(text.toStdString());
    if (QString::fromStdString(FormatHardwareAddress(mac)).compare(text, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return mac;
}

std::optional<long long> BoundedNumber(const QCommandLineParser& parser, const QString& name,
                                       long long low, long long high, int base = 10)
{
    bool ok = false;
    const long long value = parser.value(name).toLongLong(&ok, base);
    if (!ok || value < low || value > high) {
        QTextStream(stderr) << "unitsim: --" << name << " takes a number from " << low
                            << " to " << high << "\n";
        return std::nullopt;
    }
    return value;
}

} // namespace

QString OddDatagramName(OddDatagram kind)
{
    for (const auto& [known, text] : OddDatagramNames) {
        if (known == kind)
            return QLatin1String(text);
    }
    return {};
}

std::optional<SimulatorOptions> ParseSimulatorOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Acts as Ethernet I/O units waiting for BOOTP: broadcasts BOOTREQUESTs from UDP 68 to "
        "255.255.255.255:67 until each unit gets its BOOTREPLY, prints what each reply assigned, "
        "with its bytes in hex, and exits 0 when every unit got one. With --dhcp each unit asks "
        "as a DHCP client does instead: DHCPDISCOVER until offered an address, then DHCPREQUEST "
        "for that address until it gets its DHCPACK. Run it only inside the lab's private network.");
    parser.addHelpOption();
    parser.addOptions({
        {"mac", "Hardware address of the first unit.", "mac", "02:4b:7e:00:00:01"},
        {"units", "Number of units, with consecutive hardware addresses.", "n", "1"},
        {"interval", "Milliseconds between rounds of requests; 0 sends back to back.", "ms", "1000"},
        {"count", "Rounds of requests at the most.", "n", "10"},
        {"timeout", "Milliseconds to wait for replies at the most.", "ms", "30000"},
        {"xid", "Transaction id of the first unit in hex (the next unit has the next one); random by default.", "hex"},
        {"no-wait", "Send the rounds of requests and exit without waiting for replies."},
        {"odd", "Before the requests, send one odd datagram of this kind: wrong-op, wrong-htype, "
                "foreign-prefix, oversize (600 bytes), short (33 bytes) or minimal (34 bytes). Repeatable.",
         "kind"},
        {"dhcp", "Ask by DHCP rather than BOOTP."},
        {"length", "Pad every request with zeros to this many bytes (300 to 1472).", "bytes", "300"},
    });
    parser.process(arguments);

    SimulatorOptions options;
    const auto mac = MacFromText(parser.value("mac"));
    const auto units = BoundedNumber(parser, "units", 1, MaxUnits);
    const auto interval = BoundedNumber(parser, "interval", 0, MaxTimeout.count());
    const auto rounds = BoundedNumber(parser, "count", 1, MaxRounds);
    const auto timeout = BoundedNumber(parser, "timeout", 1, MaxTimeout.count());
    const auto length = BoundedNumber(parser, "length", bootp::MessageLength, MaxRequestLength);
    if (!mac) {
        QTextStream(stderr) << "unitsim: --mac takes six hex octets such as 02:4b:7e:00:00:01\n";
        return std::nullopt;
    }
    if (!units || !interval || !rounds || !timeout || !length)
        return std::nullopt;
    options.firstMac = *mac;
    options.units = static_cast<int>(*units);
    options.interval = std::chrono::milliseconds(*interval);
    options.rounds = static_cast<int>(*rounds);
    options.timeout = std::chrono::milliseconds(*timeout);
    options.waitForReplies = !parser.isSet("no-wait");
    options.dhcp = parser.isSet("dhcp");
    options.requestLength = static_cast<int>(*length);
    if (parser.isSet("xid")) {
        const auto xid = BoundedNumber(parser, "xid", 0, 0xFFFFFFFFLL, 16);
        if (!xid)
            return std::nullopt;
        options.firstXid = static_cast<std::uint32_t>(*xid);
    }
    for (const QString& name : parser.values("odd")) {
        const auto kind = OddDatagramFromName(name);
        if (!kind) {
            QTextStream(stderr) << "unitsim: unknown --odd kind " << name << "\n";
            return std::nullopt;
        }
        options.oddDatagrams.append(*kind);
    }
    return options;
}
