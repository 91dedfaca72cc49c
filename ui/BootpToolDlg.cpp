#include "BootpToolDlg.h"

#include "AddressAssignment.h"
#include "AddressText.h"
#include "MainWindowTemplate.h"
#include "MessageBox.h"

CBootpToolDlg::CBootpToolDlg(QWidget* parent) : QDialog(parent), unitListView(unitList, this)
{
    using namespace main_window_template;
    setWindowTitle(tr("Tarvik BootP Tool"));
    const DialogUnits units(font());
    setFixedSize(units.SizeToPixels(Client));
    unitListView.setGeometry(units.ToPixels(UnitList));
    connect(&unitListView, &CUnitListView::DoubleClicked, this, &CBootpToolDlg::OnUnitListDblClk);
}

void CBootpToolDlg::OnBootRequest(std::span<const std::uint8_t> buffer, unsigned arrivalInterface)
{
    unitList.OnBootRequest(QString::fromStdString(FormatHardwareAddress(ReadHardwareAddress(buffer))),
                           ReadTransactionId(buffer), arrivalInterface);
}

void CBootpToolDlg::AdoptListener(std::unique_ptr<CBootpSocket> socket)
{
    listenSocket = std::move(socket);
}

void CBootpToolDlg::OnClearList()
{
    unitList.OnClearList();
}

void CBootpToolDlg::OnUnitListDblClk()
{
    AssignAddress();
}

void CBootpToolDlg::OnSetIpAddress()
{
    if (unitList.RowCount() == 0) {
        ShowMessage(this, StringId::ListIsEmpty, MessageIcon::Information);
        return;
    }
    if (unitList.FindSelectedRow() == CUnitList::NoRow) {
        ShowMessage(this, StringId::NoItemSelected, MessageIcon::Information);
        return;
    }
    AssignAddress();
}

void CBootpToolDlg::AssignAddress()
{
    AssignAddressToSelectedUnit(this, unitList, listenSocket);
}
