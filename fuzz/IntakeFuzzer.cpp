// Datagrams of any length and content through the listener's intake into the
// unit list, checked after every datagram against a plain model of what the
// list must hold: one row per MAC, newest first, each MAC with our prefix,
// each row holding its unit's latest transaction id and kind of request, and
// nothing from a datagram that had to be refused.
//
// Input: a series of records, each a 2-byte little-endian length and that
// many bytes (fewer at the end of the input) forming one datagram; the
// length 0xFFFF instead clears the list.

#include "core/AddressText.h"
#include "core/BootpMessage.h"
#include "core/RequestIntake.h"
#include "roster/UnitList.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t ClearRecord = 0xFFFF;

constexpr int NoMessageType = -1;

struct ModelRow {
    std::string mac;
    TransactionId transactionId;
    RequestKind kind;
};

struct ListReceiver : BootRequestReceiver {
    CUnitList& units;
    explicit ListReceiver(CUnitList& units) : units(units) {}
    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override
    {
        units.OnBootRequest(request, arrival);
    }
};

// Walks the options after the magic cookie for option 53 (a length other than
// 1 counts as type 0) and option 57 (0 when absent or not 2 bytes long).
void ReadOptions(std::span<const std::uint8_t> datagram, int& messageType, std::size_t& maxMessageSize)
{
    messageType = NoMessageType;
    maxMessageSize = 0;
    if (datagram.size() < 240 || datagram[236] != 99 || datagram[237] != 130 || datagram[238] != 83 ||
        datagram[239] != 99)
        return;
    for (std::size_t at = 240; at < datagram.size() && datagram[at] != 255;) {
        if (datagram[at] == 0) {
            ++at;
            continue;
        }
        if (at + 1 >= datagram.size() || at + 2 + datagram[at + 1] > datagram.size())
            return;
        const std::size_t length = datagram[at + 1];
        if (datagram[at] == 53)
            messageType = length == 1 ? datagram[at + 2] : 0;
        if (datagram[at] == 57 && length == 2)
            maxMessageSize = std::size_t{datagram[at + 2]} << 8 | datagram[at + 3];
        at += 2 + length;
    }
}

RequestKind KindOf(int messageType)
{
    return messageType == 1 ? RequestKind::DhcpDiscover
         : messageType == 3 ? RequestKind::DhcpRequest
         : messageType == NoMessageType ? RequestKind::Bootp
                                        : RequestKind::OtherDhcp;
}

// What the intake must accept: a request over Ethernet, from our prefix,
// that holds a whole hardware address and is plain BOOTP of at most 548
// bytes, or a DHCPDISCOVER or DHCPREQUEST no longer than its option 57 less
// the IP and UDP headers (at least 548) and one Ethernet frame's 1472.
bool MustAccept(std::span<const std::uint8_t> datagram)
{
    if (datagram.size() < 34 || datagram.size() > 1472 || datagram[0] != 1 || datagram[1] != 1 ||
        datagram[28] != 0x02 || datagram[29] != 0x4B || datagram[30] != 0x7E)
        return false;
    int messageType = NoMessageType;
    std::size_t maxMessageSize = 0;
    ReadOptions(datagram, messageType, maxMessageSize);
    switch (KindOf(messageType)) {
    case RequestKind::Bootp:
        return datagram.size() <= 548;
    case RequestKind::DhcpDiscover:
    case RequestKind::DhcpRequest:
        return datagram.size() <= std::min<std::size_t>(std::max<std::size_t>(maxMessageSize, 576) - 28, 1472);
    case RequestKind::OtherDhcp:
        break;
    }
    return false;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckListMatches(const CUnitList& units, const std::vector<ModelRow>& newestFirst)
{
    Check(units.RowCount() == static_cast<int>(newestFirst.size()));
    for (std::size_t row = 0; row < newestFirst.size(); ++row) {
        const int index = static_cast<int>(row);
        const std::string mac = units.Text(index, MacAddressColumn).toStdString();
        Check(mac == newestFirst[row].mac);
        Check(mac.rfind("02-4B-7E-", 0) == 0);
        Check(units.GetTransactionId(index) == newestFirst[row].transactionId);
        Check(units.LatestRequest(index).kind == newestFirst[row].kind);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CUnitList units;
    ListReceiver receiver(units);
    std::vector<ModelRow> model;
    std::span<const std::uint8_t> input(data, size);
    while (input.size() >= 2) {
        const std::size_t length = input[0] | (std::size_t{input[1]} << 8);
        input = input.subspan(2);
        if (length == ClearRecord) {
            units.OnClearList();
            model.clear();
            CheckListMatches(units, model);
            continue;
        }
        const auto datagram = input.first(std::min(length, input.size()));
        input = input.subspan(datagram.size());

        const bool accepted = TakeDatagram(datagram, {1, "lab0"}, receiver);
        Check(accepted == MustAccept(datagram));
        if (accepted) {
            const std::string mac = FormatHardwareAddress(ReadHardwareAddress(datagram));
            const TransactionId id = ReadTransactionId(datagram);
            int messageType = NoMessageType;
            std::size_t maxMessageSize = 0;
            ReadOptions(datagram, messageType, maxMessageSize);
            auto known = model.begin();
            while (known != model.end() && known->mac != mac)
                ++known;
            if (known != model.end())
                *known = {mac, id, KindOf(messageType)};
            else
                model.insert(model.begin(), {mac, id, KindOf(messageType)});
        }
        CheckListMatches(units, model);
    }
    return 0;
}
