// Datagrams of any length and content through the listener's intake into the
// unit list, checked after every datagram against a plain model of what the
// list must hold: one row per MAC, newest first, each MAC with our prefix,
// each row holding its unit's latest transaction id, and nothing from a
// datagram that had to be refused.
//
// Input: a series of records, each a 2-byte little-endian length and that
// many bytes (fewer at the end of the input) forming one datagram; the
// length 0xFFFF instead clears the list.

#include "core/AddressText.h"
#include "core/BootpMessage.h"
#include "core/RequestIntake.h"
#include "roster/UnitList.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t ClearRecord = 0xFFFF;

struct ModelRow {
    std::string mac;
    TransactionId transactionId;
};

// What the intake must accept: a request over Ethernet, from our prefix,
// that fits the receive buffer and holds a whole hardware address.
bool MustAccept(std::span<const std::uint8_t> datagram)
{
    return datagram.size() >= 34 && datagram.size() <= 500 && datagram[0] == 1 && datagram[1] == 1
        && datagram[28] == 0x02 && datagram[29] == 0x4B && datagram[30] == 0x7E;
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
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CUnitList units;
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

        const bool accepted = TakeDatagram(datagram, 1, units);
        Check(accepted == MustAccept(datagram));
        if (accepted) {
            const std::string mac = FormatHardwareAddress(ReadHardwareAddress(datagram));
            const TransactionId id = ReadTransactionId(datagram);
            auto known = model.begin();
            while (known != model.end() && known->mac != mac)
                ++known;
            if (known != model.end())
                known->transactionId = id;
            else
                model.insert(model.begin(), {mac, id});
        }
        CheckListMatches(units, model);
    }
    return 0;
}
