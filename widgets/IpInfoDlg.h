#pragma once

#include "widgets/IpAddressControl.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <cstdint>

// "Enter IP Information": the IP address, subnet mask and gateway for one
// unit. The caller sets the three values before DoModal and reads them
// after it returned Accepted; Cancel leaves them as they were.
class CIpInfoDlg : public QDialog {
    Q_OBJECT

public:
    explicit CIpInfoDlg(QWidget* parent = nullptr);

    // Shows the values and runs the dialog until Send or Cancel.
    int DoModal();

    std::uint32_t ipAddress = 0;
    std::uint32_t subnetMask = 0;
    std::uint32_t gateway = 0;

    // Send: the fields go into the values, then the dialog ends.
    void accept() override;

private:
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
