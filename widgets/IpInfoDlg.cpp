#include "widgets/IpInfoDlg.h"

#include "res/IpInfoTemplate.h"
#include "res/MessageBox.h"

CIpInfoDlg::CIpInfoDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      sendButton(tr("&Send"), this),
      cancelButton(tr("Cancel"), this),
      ipAddressControl(this),
      subnetMaskControl(this),
      subnetMaskLabel(tr("Subnet Mask"), this),
      ipAddressLabel(tr("IP Address"), this),
      gatewayControl(this),
      gatewayLabel(tr("Gateway"), this)
{
    using namespace ip_info_template;
    setWindowTitle(tr("Enter IP Information"));
    const DialogUnits units(font());
    setFixedSize(units.SizeToPixels(Client));
    units.Place({{&sendButton, SendButton},
                 {&cancelButton, CancelButton},
                 {&ipAddressControl, IpAddressField},
                 {&subnetMaskControl, SubnetMaskField},
                 {&subnetMaskLabel, SubnetMaskLabel},
                 {&ipAddressLabel, IpAddressLabel},
                 {&gatewayControl, GatewayField},
                 {&gatewayLabel, GatewayLabel}});

    sendButton.setDefault(true);
    connect(&sendButton, &QPushButton::clicked, this, &CIpInfoDlg::accept);
    connect(&cancelButton, &QPushButton::clicked, this, &CIpInfoDlg::reject);
    setTabOrder(&sendButton, &cancelButton);
    setTabOrder(&cancelButton, &ipAddressControl);
    setTabOrder(&ipAddressControl, &subnetMaskControl);
    setTabOrder(&subnetMaskControl, &gatewayControl);

    ipAddressControl.SetAccessibleLabel(ipAddressLabel.text());
    subnetMaskControl.SetAccessibleLabel(subnetMaskLabel.text());
    gatewayControl.SetAccessibleLabel(gatewayLabel.text());
}

int CIpInfoDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CIpInfoDlg::accept()
{
    if (!ConfirmFields())
        return;
    DoDataExchange(true);
    QDialog::accept();
}

bool CIpInfoDlg::ConfirmFields()
{
    const AddressPlan plan{ipAddressControl.GetAddress(), subnetMaskControl.GetAddress(), gatewayControl.GetAddress()};
    const AddressProblem problem = CheckAddressPlan(plan);
    if (problem == AddressProblem::None)
        return true;
    // In the order of AddressField.
    const std::pair<CIpAddressControl*, QLabel*> fields[] = {
        {&ipAddressControl, &ipAddressLabel}, {&subnetMaskControl, &subnetMaskLabel}, {&gatewayControl, &gatewayLabel}};
    const auto [control, label] = fields[static_cast<int>(ProblemField(problem))];
    const QString why =
        label->text() + QStringLiteral(": ") + QString::fromStdString(DescribeAddressProblem(problem, plan));
    if (NeedsConfirmation(problem)) {
        if (AskYesNo(this, why + QStringLiteral("\n\n") + tr("Send anyway?")))
            return true;
    } else {
        ShowMessageBox(this, why);
    }
    control->SelectAddress();
    return false;
}

void CIpInfoDlg::DoDataExchange(bool save)
{
    const std::pair<CIpAddressControl*, std::uint32_t*> pairs[] = {
        {&ipAddressControl, &ipAddress}, {&subnetMaskControl, &subnetMask}, {&gatewayControl, &gateway}};
    for (const auto& [control, value] : pairs) {
        if (save)
            *value = control->GetAddress();
        else
            control->SetAddress(*value);
    }
}

void CIpInfoDlg::OnInitDialog()
{
    DoDataExchange(false);
    // Enter sends at once; the operator tabs to the fields to change them.
    sendButton.setFocus();
}
