// The address dialog as the operator meets it: its layout, where the focus
// starts, the tab order, and that Send and Cancel carry values or not.

#include "res/DialogUnits.h"
#include "widgets/IpAddressControl.h"
#include "widgets/IpInfoDlg.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The address control or button that holds the focus, by its name.
QString FocusedControlName()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* control = qobject_cast<CIpAddressControl*>(widget))
            return control->accessibleName();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            return button->text();
    }
    return QStringLiteral("?");
}

struct OpenDialog {
    CIpInfoDlg dialog;
    int result = -1;

    // Runs the dialog with the values set, doing `operate` while it is open.
    void Run(const std::function<void(CIpInfoDlg*)>& operate)
    {
        ModalScript script;
        script.Then([&](QWidget* modal) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
            operate(static_cast<CIpInfoDlg*>(modal));
        });
        result = dialog.DoModal();
        EXPECT_EQ(script.StepsDone(), 1);
        EXPECT_FALSE(script.TimedOut());
    }
};

TEST(IpInfoDlg, IsLaidOutAsItsTemplateSays)
{
    CIpInfoDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Enter IP Information");
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    const DialogUnits units(dialog.font());
    EXPECT_EQ(dialog.size(), units.SizeToPixels({0, 0, 152, 117}));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

    const auto [ip, mask, gateway] = AddressControls(&dialog);
    ASSERT_TRUE(ip && mask && gateway);
    QPushButton* send = ButtonWithText(&dialog, "&Send");
    QPushButton* cancel = ButtonWithText(&dialog, "Cancel");
    ASSERT_TRUE(send && cancel);
    EXPECT_EQ(ip->geometry(), units.ToPixels({7, 17, 82, 11}));
    EXPECT_EQ(send->geometry(), units.ToPixels({7, 96, 50, 14}));
    EXPECT_EQ(cancel->geometry(), units.ToPixels({95, 96, 50, 14}));
    // Each field under its label, Send left of Cancel beneath them all.
    const char* captions[] = {"IP Address", "Subnet Mask", "Gateway"};
    CIpAddressControl* fields[] = {ip, mask, gateway};
    for (int i = 0; i < 3; ++i) {
        QLabel* label = ChildWithText<QLabel>(&dialog, captions[i]);
        ASSERT_TRUE(label) << captions[i];
        EXPECT_LT(label->geometry().bottom(), fields[i]->geometry().top()) << captions[i];
        EXPECT_EQ(fields[i]->accessibleName(), captions[i]);
        EXPECT_EQ(fields[i]->Field(3)->accessibleName(), QString(captions[i]) + ", octet 4 of 4");
    }
    EXPECT_LT(gateway->geometry().bottom(), send->geometry().top());
    EXPECT_TRUE(send->isDefault());
}

TEST(IpInfoDlg, OpensOnSendShowingTheValuesAndTabsInTemplateOrder)
{
    OpenDialog open;
    open.dialog.ipAddress = 0xC0A80132;
    open.dialog.subnetMask = 0xFFFFFF00;
    open.dialog.gateway = 0;
    std::vector<QString> focusOrder;
    std::array<std::uint32_t, 3> shown{};
    open.Run([&](CIpInfoDlg* dialog) {
        const auto controls = AddressControls(dialog);
        for (std::size_t i = 0; i < controls.size(); ++i)
            shown[i] = controls[i]->GetAddress();
        focusOrder.push_back(FocusedControlName());
        for (int step = 0; step < 5; ++step) {
            PressKey(dialog, Qt::Key_Tab);
            focusOrder.push_back(FocusedControlName());
        }
        dialog->reject();
    });
    EXPECT_EQ(shown, (std::array<std::uint32_t, 3>{0xC0A80132, 0xFFFFFF00, 0}));
    EXPECT_EQ(focusOrder,
              (std::vector<QString>{"&Send", "Cancel", "IP Address", "Subnet Mask", "Gateway", "&Send"}));
}

TEST(IpInfoDlg, EnterSendsTheFieldsAndCancelKeepsTheValues)
{
    OpenDialog sent;
    sent.Run([](CIpInfoDlg* dialog) {
        AddressControls(dialog)[0]->SetAddress(0x0A000001);
        AddressControls(dialog)[2]->SetAddress(0x0A0000FE);
        // From inside a field, Enter still reaches the default button.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(FocusedControlName(), "IP Address");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(sent.result, QDialog::Accepted);
    EXPECT_EQ(sent.dialog.ipAddress, 0x0A000001u);
    EXPECT_EQ(sent.dialog.subnetMask, 0u);
    EXPECT_EQ(sent.dialog.gateway, 0x0A0000FEu);

    OpenDialog cancelled;
    cancelled.dialog.ipAddress = 0x01020304;
    cancelled.Run([](CIpInfoDlg* dialog) {
        AddressControls(dialog)[0]->SetAddress(0x0A000001);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_EQ(cancelled.result, QDialog::Rejected);
    EXPECT_EQ(cancelled.dialog.ipAddress, 0x01020304u);
}

} // namespace
