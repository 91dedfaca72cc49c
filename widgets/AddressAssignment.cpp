#include "widgets/AddressAssignment.h"

#include "core/AddressText.h"
#include "core/ReplySender.h"
#include "res/MessageBox.h"
#include "widgets/IpInfoDlg.h"
#include "roster/UnitList.h"

#include <QPersistentModelIndex>

namespace {

std::uint32_t ReadAddress(const CUnitList& units, int row, int column)
{
    return ParseDottedQuad(units.Text(row, column).toStdString());
}

void WriteAddress(CUnitList& units, int row, int column, std::uint32_t address)
{
    units.SetText(row, column, QString::fromStdString(FormatDottedQuad(address)));
}

} // namespace

void AssignAddressToSelectedUnit(QWidget* owner, CUnitList& units, BootReplySender* listenSocket)
{
    const int selected = units.FindSelectedRow();
    if (selected == CUnitList::NoRow)
        return;
    // Units heard while the dialog is open get rows above this one; the
    // persistent index keeps to the unit the operator chose.
    const QPersistentModelIndex unit = units.index(selected, MacAddressColumn);

    CIpInfoDlg dialog(owner);
    dialog.ipAddress = ReadAddress(units, selected, IpAddressColumn);
    dialog.subnetMask = ReadAddress(units, selected, SubnetMaskColumn);
    dialog.gateway = ReadAddress(units, selected, GatewayColumn);
    if (dialog.DoModal() != QDialog::Accepted || !unit.isValid())
        return;

    const int row = unit.row();
    WriteAddress(units, row, IpAddressColumn, dialog.ipAddress);
    WriteAddress(units, row, SubnetMaskColumn, dialog.subnetMask);
    WriteAddress(units, row, GatewayColumn, dialog.gateway);
    if (!listenSocket) {
        ShowMessage(owner, StringId::NotListening);
        return;
    }

    // The transaction id and interface are read now, so that a request the
    // unit sent while the dialog was open is the one answered.
    const BootpMessage reply = BuildBootReply(
        units.GetTransactionId(row), ReadAddress(units, row, IpAddressColumn), dialog.gateway,
        ParseHardwareAddress(units.Text(row, MacAddressColumn).toStdString()), dialog.subnetMask, NoNameServer);
    units.SetSentStatus(row, listenSocket->SendReply(reply, units.ArrivalInterface(row)));
}
