#pragma once

#include "core/AddressCheck.h"
#include "widgets/IpAddressControl.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <cstdint>

// "Enter IP Information": the IP address, subnet mask and gateway for one
// unit. The caller sets the three values before DoModal and reads them
// after it returned Accepted; Cancel leaves them as they were. Send refuses
// values no unit can work with, and asks before it sends a gateway that
// looks wrong.
class CIpInfoDlg : public QDialog {
    Q_OBJECT

public:
    explicit CIpInfoDlg(QWidget* parent = nullptr);

    // Shows the values and runs the dialog until Send or Cancel.
    int DoModal();

    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;

    // Send: the fields go into the values, then the dialog ends; unless they
    // are refused or the operator does not confirm them, and then the focus
    // goes to the field at fault.
    void accept() override;

private:
    // Whether the fields' values may be sent, once refused or confirmed.
    bool ConfirmFields();
    // Values into the fields, or with `save` the fields into the values.
    void DoDataExchange(bool save);
    void OnInitDialog();

    // In tab order.
    QPushButton sendButton;
    QPushButton cancelButton;
    CIpAddressControl ipAddressControl;
    CIpAddressControl subnetMaskControl;
    QLabel subnetMaskLabel;
    QLabel ipAddressLabel;
    CIpAddressControl gatewayControl;
    QLabel gatewayLabel;
};
