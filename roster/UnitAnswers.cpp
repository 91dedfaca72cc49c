#include "roster/UnitAnswers.h"

#include "roster/UnitList.h"

bool SendAddresses(CUnitList& units, int row, const UnitAddresses& addresses, BootReplySender& sender)
{
    units.SetAddresses(row, addresses);
    const NetworkInterface arrival = units.ArrivalInterface(row);
    const auto answer = AnswerRequest(units.LatestRequest(row), addresses, sender.InterfaceAddress(arrival),
                                      AnswerOccasion::Assignment);
    const bool sent = answer && sender.SendReply(*answer, arrival);
    if (sent)
        units.RecordSentAddresses(row, addresses);
    units.SetSentStatus(row, sent);
    return sent;
}

void TakeUnitRequest(CUnitList& units, const BootRequest& request, const NetworkInterface& arrival,
                     BootReplySender* sender)
{
    const int row = units.OnBootRequest(request, arrival);
    // Only a DHCPREQUEST is ever answered on its arrival; the others spare
    // the look-up of the interface's address.
    const auto sentAddresses = units.SentAddresses(row);
    if (!sender || !sentAddresses || request.kind != RequestKind::DhcpRequest)
        return;
    const auto ack = AnswerRequest(request, *sentAddresses, sender->InterfaceAddress(arrival),
                                   AnswerOccasion::RequestArrived);
    if (ack)
        sender->SendReply(*ack, arrival);
}
