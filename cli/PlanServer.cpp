#include "cli/PlanServer.h"

#include "core/AddressText.h"
#include "core/DhcpProtocol.h"
#include "roster/UnitAnswers.h"

#include <QDateTime>
#include <QTimer>

namespace {

constexpr std::chrono::milliseconds AddressLookupLifetime{1000};

QString Dotted(std::uint32_t address)
{
    return QString::fromStdString(FormatDottedQuad(address));
}

QString MacText(const HardwareAddress& mac)
{
    return QString::fromStdString(FormatHardwareAddress(mac));
}

QString Now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

// The record's and the events' name for a reply, by its DHCP message type.
QString KindOfReply(std::optional<std::uint8_t> messageType)
{
    if (!messageType)
        return QStringLiteral("bootreply");
    return *messageType == static_cast<std::uint8_t>(dhcp::MessageType::Ack) ? QStringLiteral("dhcpack")
                                                                            : QStringLiteral("dhcpoffer");
}

bool Completes(std::optional<std::uint8_t> messageType)
{
    return !messageType || *messageType == static_cast<std::uint8_t>(dhcp::MessageType::Ack);
}

QString Seconds(qint64 milliseconds)
{
    return QString::number(static_cast<double>(milliseconds) / 1000, 'f', 1) + QStringLiteral(" s");
}

QString Count(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

PlanServer::PlanServer(const UnitPlan& plan, QString planName, ReplyRecord* record, std::FILE* out)
    : plan(plan), planName(std::move(planName)), record(record), report(out, [this] { return ProgressLine(); }),
      states(plan.Units().size(), UnitState::Unheard)
{
}

bool PlanServer::Listen()
{
    return listener.Create();
}

void PlanServer::OnBootRequest(const BootRequest& request, const NetworkInterface& arrival)
{
    const int row = units.OnBootRequest(request, arrival);
    const auto position = plan.Find(request.hardwareAddress);
    if (!position) {
        const QString mac = MacText(request.hardwareAddress);
        auto known = unplannedAt.constFind(mac);
        if (known == unplannedAt.cend()) {
            known = unplannedAt.insert(mac, unplanned.size());
            unplanned.push_back({mac, arrival.name, 0});
            report.Notice(QStringLiteral("%1 %2 on %3: not in the plan, not answered").arg(Now(), mac, arrival.name));
        }
        ++unplanned[known.value()].requests;
        return;
    }
    UnitState& state = states[*position];
    if (state == UnitState::Unheard)
        state = UnitState::Heard;
    answering = &plan.Units()[*position];
    sentMessageType.reset();
    const bool sent = SendAddresses(units, row, answering->addresses, *this);
    answering = nullptr;
    if (!sent || !Completes(sentMessageType) || state == UnitState::Answered)
        return;
    state = UnitState::Answered;
    if (++answered == plan.Units().size() && onAllAnswered)
        onAllAnswered();
}

bool PlanServer::SendReply(const BootpMessage& reply, const NetworkInterface& outgoing)
{
    const auto contents = ReadBootReply(reply);
    const QString kind = KindOfReply(contents ? contents->messageType : std::nullopt);
    const RecordedReply line{QDateTime::currentDateTimeUtc(), answering->mac, answering->addresses, outgoing.name,
                             ReadTransactionId(reply), kind};
    if (record && !record->Begin(line))
        NoteRecordFailure();
    const bool sent = listener.SendReply(reply, outgoing);
    const QString failure = sent ? QString() : listener.SendFailureReason();
    if (record && !record->Finish(failure))
        NoteRecordFailure();
    if (record && !syncPending) {
        // One flush to the disk for the replies that go out together, once
        // the requests waiting now are answered: one for each would hold a
        // burst up by the disk's time for every reply.
        syncPending = true;
        QTimer::singleShot(0, this, [this] {
            syncPending = false;
            if (!record->Sync())
                NoteRecordFailure();
        });
    }

    const QString what = QStringLiteral("%1 %2 %3 %4 %5 %6 on %7")
                             .arg(line.time.toString(Qt::ISODateWithMs), MacText(line.mac), kind,
                                  Dotted(line.addresses.ipAddress), Dotted(line.addresses.subnetMask),
                                  Dotted(line.addresses.gateway), outgoing.name);
    if (sent) {
        ++repliesSent;
        sentMessageType = contents ? contents->messageType : std::nullopt;
        report.Event(what + QStringLiteral(": sent"));
    } else {
        ++repliesFailed;
        report.Notice(what + QStringLiteral(": failed: ") + failure);
    }
    return sent;
}

std::uint32_t PlanServer::InterfaceAddress(const NetworkInterface& interface)
{
    // Looking an address up reads every interface of the system, which costs
    // more than the rest of a reply; a burst asks for the same one thousands
    // of times a second. A second's time keeps up with an address that changes.
    KnownAddress& known = interfaceAddresses[interface.index];
    if (known.interfaceName != interface.name || known.validUntil.hasExpired()) {
        known = {interface.name, listener.InterfaceAddress(interface), QDeadlineTimer(AddressLookupLifetime)};
    }
    return known.address;
}

void PlanServer::NoteRecordFailure()
{
    if (recordFailed)
        return;
    recordFailed = true;
    report.Notice(QStringLiteral("cannot write the record: %1").arg(record->Error()));
    if (onRecordFailure)
        onRecordFailure();
}

QString PlanServer::ProgressLine() const
{
    return QStringLiteral("answered %1 of %2 planned, %3 unplanned, %4")
        .arg(answered)
        .arg(plan.Units().size())
        .arg(unplanned.size())
        .arg(Seconds(report.ElapsedMilliseconds()));
}

void PlanServer::Finish()
{
    listener.Close();
    if (record && !record->Sync())
        NoteRecordFailure();
    report.EndProgress();
    report.Line(QStringLiteral("answered %1 of %2 in %3; %4 sent, %5 failed; %6")
                    .arg(answered)
                    .arg(Count(plan.Units().size(), "planned unit", "planned units"), Seconds(report.ElapsedMilliseconds()),
                         Count(static_cast<std::size_t>(repliesSent), "reply", "replies"),
                         QString::number(repliesFailed), Count(unplanned.size(), "unplanned unit", "unplanned units")));
    if (!AllAnswered()) {
        report.Line(QStringLiteral("planned units not answered:"));
        for (std::size_t position = 0; position < states.size(); ++position) {
            if (states[position] == UnitState::Answered)
                continue;
            const PlannedUnit& unit = plan.Units()[position];
            report.Line(QStringLiteral("  %1 %2 (%3 line %4): %5")
                            .arg(MacText(unit.mac), Dotted(unit.addresses.ipAddress), planName)
                            .arg(unit.line)
                            .arg(states[position] == UnitState::Unheard ? QStringLiteral("never heard")
                                                                        : QStringLiteral("heard, not answered")));
        }
    }
    if (!unplanned.empty()) {
        report.Line(QStringLiteral("unplanned units, not answered:"));
        for (const UnplannedUnit& unit : unplanned) {
            report.Line(QStringLiteral("  %1 on %2: %3")
                            .arg(unit.mac, unit.interfaceName, Count(static_cast<std::size_t>(unit.requests), "request", "requests")));
        }
    }
}
