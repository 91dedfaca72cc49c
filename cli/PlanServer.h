#pragma once

#include "cli/ConsoleReport.h"
#include "listener/BootpSocket.h"
#include "plan/ReplyRecord.h"
#include "plan/UnitPlan.h"
#include "roster/UnitList.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Serves an address plan on port 67. A request of a planned unit is
// answered with its planned addresses the way the window answers a unit the
// operator gives addresses (the roster's SendAddresses), every time it asks:
// a BOOTREPLY, a DHCPOFFER, or a DHCPACK for the planned address. A unit
// not in the plan is listed once, never answered. Each reply's line goes to
// the record before the reply goes out, and is finished with its outcome.
class PlanServer : public QObject, public BootRequestReceiver, public BootReplySender {
public:
    // `planName` names the plan in the summary.
    PlanServer(const UnitPlan& plan, QString planName, ReplyRecord* record, std::FILE* out);

    // Binds port 67; false, with ListenFailure() saying why, when it cannot.
    bool Listen();
    QString ListenFailure() const { return listener.FailureReason(); }

    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override;
    // The listener's, with the record kept: used by SendAddresses.
    bool SendReply(const BootpMessage& reply, const NetworkInterface& outgoing) override;
    std::uint32_t InterfaceAddress(const NetworkInterface& interface) override;

    // Whether every planned unit has been answered: sent a BOOTREPLY, or the
    // DHCPACK of its planned address.
    bool AllAnswered() const { return answered == plan.Units().size(); }
    // Called when the last planned unit has been answered, and when the
    // record cannot be written (then RecordFailed() holds).
    std::function<void()> onAllAnswered;
    std::function<void()> onRecordFailure;
    bool RecordFailed() const { return recordFailed; }

    // Stops listening, makes the record durable and prints the summary: what
    // was answered, the planned units that were not and the unplanned ones.
    void Finish();

private:
    enum class UnitState : std::uint8_t { Unheard, Heard, Answered };
    struct UnplannedUnit {
        QString mac;
        QString interfaceName;
        int requests = 0;
    };

    // An interface's address as last looked up, and until when it is taken as is.
    struct KnownAddress {
        QString interfaceName;
        std::uint32_t address = 0;
        QDeadlineTimer validUntil;
    };

    QString ProgressLine() const;
    void NoteRecordFailure();

    const UnitPlan& plan;
    QString planName;
    ReplyRecord* record;
    ConsoleReport report;
    CUnitList units;
    std::vector<UnitState> states;
    std::size_t answered = 0;
    std::vector<UnplannedUnit> unplanned;
    QHash<QString, std::size_t> unplannedAt;
    int repliesSent = 0;
    int repliesFailed = 0;
    // The unit whose answer SendAddresses is sending, and the kind of the
    // last reply that went out.
    const PlannedUnit* answering = nullptr;
    std::optional<std::uint8_t> sentMessageType;
    QHash<unsigned, KnownAddress> interfaceAddresses;
    bool syncPending = false;
    bool recordFailed = false;
    // Last: it calls back into the members above.
    CBootpSocket listener{*this};
};
