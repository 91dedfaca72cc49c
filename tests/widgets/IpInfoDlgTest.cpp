// The address dialog as the operator meets it: its layout, where the focus
// starts, the tab order, that Send and Cancel carry values or not, what Send
// refuses or asks about, and what a screen reader finds in it.

#include "res/DialogUnits.h"
#include "widgets/IpAddressControl.h"
#include "widgets/IpInfoDlg.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

namespace {

// The address control or button that holds the focus, by its name.
QString FocusedControlName(QWidget* focus = QApplication::focusWidget())
{
    for (QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        if (auto* control = qobject_cast<CIpAddressControl*>(widget))
            return control->accessibleName();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            return button->text();
    }
    return QStringLiteral("?");
}

// IP address, subnet mask and gateway.
using Addresses = std::array<std::uint32_t, 3>;

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

    // The IP address, subnet mask and gateway that Send handed back; nothing
    // when the dialog did not end with Send.
    std::optional<Addresses> Sent() const
    {
        if (result != QDialog::Accepted)
            return std::nullopt;
        return Addresses{dialog.ipAddress, dialog.subnetMask, dialog.gateway};
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
    Addresses shown{};
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
    EXPECT_EQ(shown, (Addresses{0xC0A80132, 0xFFFFFF00, 0}));
    EXPECT_EQ(focusOrder,
              (std::vector<QString>{"&Send", "Cancel", "IP Address", "Subnet Mask", "Gateway", "&Send"}));
}

TEST(IpInfoDlg, EnterSendsTheFieldsAndCancelKeepsTheValues)
{
    OpenDialog sent;
    sent.Run([](CIpInfoDlg* dialog) {
        AddressControls(dialog)[0]->SetAddress(0x0A000001);
        AddressControls(dialog)[1]->SetAddress(0xFF000000);
        AddressControls(dialog)[2]->SetAddress(0x0A0000FE);
        // From inside a field, Enter still reaches the default button.
        PressKey(dialog, Qt::Key_Tab);
        PressKey(dialog, Qt::Key_Tab);
        ASSERT_EQ(FocusedControlName(), "IP Address");
        PressKey(dialog, Qt::Key_Return);
    });
    EXPECT_EQ(sent.Sent(), (Addresses{0x0A000001, 0xFF000000, 0x0A0000FE}));

    OpenDialog cancelled;
    cancelled.dialog.ipAddress = 0x01020304;
    cancelled.Run([](CIpInfoDlg* dialog) {
        AddressControls(dialog)[0]->SetAddress(0x0A000001);
        PressKey(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(cancelled.result, QDialog::Rejected);
    EXPECT_EQ(cancelled.dialog.ipAddress, 0x01020304u);
}

TEST(IpInfoDlg, SendRefusesWhatCanNeverWorkAndKeepsTheDialogOpenOnTheFieldToRetype)
{
    OpenDialog open; // a new unit's: 0.0.0.0 in every field
    std::vector<SeenMessage> refusals;
    std::vector<QString> focusAfter;
    // Typing, then Return and the refusal it brings, acknowledged; the
    // dialog is active again afterwards, as a desktop makes it.
    const auto sendRefused = [&](CIpInfoDlg* dialog, const QString& typedBefore) {
        SeenMessage seen;
        ModalScript script;
        script.Then(AcknowledgeMessage(seen));
        WaitForFocus(dialog);
        TypeAtFullSpeed(typedBefore + QStringLiteral("\n"));
        refusals.push_back(seen);
        auto* focus = qobject_cast<QLineEdit*>(WaitForFocus(dialog));
        focusAfter.push_back(FocusedControlName() + (focus ? " [" + focus->selectedText() + "]" : QString()));
    };
    open.Run([&](CIpInfoDlg* dialog) {
        sendRefused(dialog, {}); // a stray Enter on Send
        sendRefused(dialog, QStringLiteral("192.168.1.50"));
        sendRefused(dialog, QStringLiteral("255.0.255.0"));
        // The subnet's broadcast address, once the mask is one.
        TypeAtFullSpeed(QStringLiteral("255.255.255.0"));
        PressKey(dialog, Qt::Key_Backtab);
        sendRefused(dialog, QStringLiteral("192.168.1.255"));
        EXPECT_TRUE(dialog->isVisible());
        TypeAtFullSpeed(QStringLiteral("192.168.1.50\n"));
    });

    ASSERT_EQ(refusals.size(), 4u);
    EXPECT_TRUE(refusals[0].text.startsWith("IP Address: 0.0.0.0 ")) << refusals[0].text.toStdString();
    EXPECT_TRUE(refusals[1].text.startsWith("Subnet Mask: 0.0.0.0 ")) << refusals[1].text.toStdString();
    EXPECT_TRUE(refusals[2].text.startsWith("Subnet Mask: 255.0.255.0 ")) << refusals[2].text.toStdString();
    EXPECT_TRUE(refusals[3].text.startsWith("IP Address: 192.168.1.255 ")) << refusals[3].text.toStdString();
    EXPECT_EQ(refusals[0].icon, QMessageBox::Warning);
    EXPECT_EQ(focusAfter, (std::vector<QString>{"IP Address [0]", "Subnet Mask [0]", "Subnet Mask [255]",
                                                "IP Address [192]"}));
    EXPECT_EQ(open.Sent(), (Addresses{0xC0A80132, 0xFFFFFF00, 0}));
}

TEST(IpInfoDlg, GatewayOutsideTheSubnetIsSentOnlyWhenTheOperatorSaysYes)
{
    OpenDialog open;
    open.dialog.ipAddress = 0xC0A80132;  // 192.168.1.50
    open.dialog.subnetMask = 0xFFFFFF00; // 255.255.255.0
    open.dialog.gateway = 0x0A000001;    // 10.0.0.1
    QString asked;
    bool noByDefault = false;
    QString focusAfterNo;
    const auto answer = [&](QMessageBox::StandardButton button) {
        return [&, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            asked = box->text();
            noByDefault = box->defaultButton() == box->button(QMessageBox::No);
            box->button(button)->click();
        };
    };
    open.Run([&](CIpInfoDlg* dialog) {
        {
            ModalScript script;
            script.Then(answer(QMessageBox::No));
            PressKey(dialog, Qt::Key_Return);
        }
        EXPECT_TRUE(dialog->isVisible());
        focusAfterNo = FocusedControlName(dialog->focusWidget());
        ModalScript script;
        script.Then(answer(QMessageBox::Yes));
        PressKey(dialog, Qt::Key_Return);
    });

    EXPECT_TRUE(asked.startsWith("Gateway: 10.0.0.1 ")) << asked.toStdString();
    EXPECT_TRUE(asked.endsWith("Send anyway?")) << asked.toStdString();
    EXPECT_TRUE(noByDefault);
    EXPECT_EQ(focusAfterNo, "Gateway");
    EXPECT_EQ(open.Sent(), (Addresses{0xC0A80132, 0xFFFFFF00, 0x0A000001}));
}

TEST(IpInfoDlg, KeysTypedPastANumberAbove255AllReachTheirFields)
{
    OpenDialog open;
    open.Run([](CIpInfoDlg* dialog) {
        WaitForFocus(dialog);
        // From Send: Tab to Cancel, Tab to the IP address.
        TypeAtFullSpeed(QStringLiteral("\t\t192.300.1.20\t255.255.255.0\t192.255.1.1\n"));
    });
    EXPECT_EQ(open.Sent(), (Addresses{0xC0FF0114, 0xFFFFFF00, 0xC0FF0101}));
}

TEST(IpInfoDlg, ScreenReadersMeetEachAddressAsOneNamedGroupOfFourOctets)
{
    CIpInfoDlg dialog;
    QStringList groups;
    QStringList dots;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (node->text(QAccessible::Name) == "." || node->text(QAccessible::Value) == ".")
            dots << node->text(QAccessible::Name);
        if (node->role() == QAccessible::Grouping) {
            QStringList parts;
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* part = node->child(i);
                parts << part->text(QAccessible::Name) +
                             (part->role() == QAccessible::EditableText ? QString() : " (not editable)");
            }
            groups << node->text(QAccessible::Name) + ": " + parts.join(", ");
        }
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&dialog));

    const auto group = [](const QString& label) {
        return label + ": " + label + ", octet 1 of 4, " + label + ", octet 2 of 4, " + label + ", octet 3 of 4, " +
               label + ", octet 4 of 4";
    };
    EXPECT_EQ(groups, (QStringList{group("IP Address"), group("Subnet Mask"), group("Gateway")}));
    EXPECT_TRUE(dots.isEmpty()) << dots.size() << " dots are read out";
}

} // namespace
