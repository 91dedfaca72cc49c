#include "widgets/AddressAssignment.h"

#include "core/AddressText.h"
#include "core/ReplySender.h"
#include "res/MessageBox.h"
#include "roster/UnitAnswers.h"
#include "roster/UnitList.h"
#include "widgets/IpInfoDlg.h"

#include <QPersistentModelIndex>

namespace {

std::uint32_t ReadAddress(const CUnitList& units, int row, int column)
{
    return ParseDottedQuad(units.Text(row, column).toStdString());
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

    // The row's latest request and interface are read only now, so that a
    // request the unit sent while the dialog was open is the one answered.
    const UnitAddresses addresses{dialog.ipAddress, dialog.subnetMask, dialog.gateway};
    if (!listenSocket) {
        units.SetAddresses(unit.row(), addresses);
        ShowMessage(owner, StringId::NotListening);
        return;
    }
    SendAddresses(units, unit.row(), addresses, *listenSocket);
}
