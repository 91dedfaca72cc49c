// Assigning an address through the real window and dialog, headless: what
// the row shows afterwards, what reply is handed to the socket and by which
// interface, and what the operator is told when something is missing.

#include "core/AddressText.h"
#include "core/BootpMessage.h"
#include "widgets/IpAddressControl.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestToolDlg.h"
#include "tests/support/UnitRows.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const HardwareAddress ChosenUnit{0x02, 0x4B, 0x7E, 0x01, 0x02, 0x0A};
const HardwareAddress OtherUnit{0x02, 0x4B, 0x7E, 0x01, 0x02, 0x0B};

struct Addresses {
    std::uint32_t ip, mask, gateway;
};

class AssignmentFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.OnListen();
        ASSERT_TRUE(window.IsListening());
    }

    void Hear(const HardwareAddress& unit, TransactionId xid, unsigned arrivalInterface)
    {
        // On the wire the id is in the unit's byte order; the row keeps those bytes.
        window.OnBootRequest(ReadBootRequest(BuildBootRequest(xid, unit)), {arrivalInterface});
    }

    void DoubleClickRow(int row)
    {
        const QRect cell = window.UnitListView().visualRect(window.Units().index(row, 0));
        QWidget* viewport = window.UnitListView().viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
    }

    // A step that reads the dialog's fields, runs `meanwhile` (requests that
    // arrive while it is open), enters the addresses and presses Send.
    ModalScript::Step EnterAndSend(Addresses entered, std::function<void()> meanwhile = {})
    {
        return [this, entered, meanwhile](QWidget* dialog) {
            const auto [ip, mask, gateway] = AddressControls(dialog);
            opened = {ip->GetAddress(), mask->GetAddress(), gateway->GetAddress()};
            if (meanwhile)
                meanwhile();
            ip->SetAddress(entered.ip);
            mask->SetAddress(entered.mask);
            gateway->SetAddress(entered.gateway);
            ButtonWithText(dialog, "&Send")->click();
        };
    }

    // Runs the menu command on the selected row, entering these addresses;
    // how many windows opened besides the address dialog.
    int AssignSelected(Addresses entered, std::function<void()> meanwhile = {})
    {
        ModalScript script;
        script.Then(EnterAndSend(entered, std::move(meanwhile)));
        window.OnSetIpAddress();
        EXPECT_EQ(script.StepsDone(), 1);
        return script.UnexpectedModals();
    }

    BootpMessage ExpectedReply(TransactionId requestXid, const HardwareAddress& unit, Addresses a)
    {
        return BuildBootReply(ReadTransactionId(BuildBootRequest(requestXid, unit)), a.ip, a.gateway, unit, a.mask,
                              NoNameServer);
    }

    TestToolDlg window;
    ListenerLog* listener = &window.listener;
    Addresses opened{};
};

const Addresses Example{0xC0A80132, 0xFFFFFF00, 0xC0A80101};

TEST_F(AssignmentFlow, SendWhileListeningFillsTheRowAndRepliesByTheUnitsInterface)
{
    Hear(ChosenUnit, 0x5A1C0007, 3);
    ModalScript script;
    script.Then(EnterAndSend(Example));
    DoubleClickRow(0);

    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(opened.ip, 0u);
    EXPECT_EQ(opened.mask, 0u);
    EXPECT_EQ(opened.gateway, 0u);
    EXPECT_EQ(RowTexts(window.Units(), 0), (QStringList{"02-4B-7E-01-02-0A", "192.168.1.50", "255.255.255.0", "192.168.1.1", "Yes"}));
    ASSERT_EQ(listener->sent.size(), 1u);
    EXPECT_EQ(listener->sent[0].reply, ExpectedReply(0x5A1C0007, ChosenUnit, Example));
    EXPECT_EQ(listener->sent[0].outgoing.index, 3u);
    const BootpMessage& reply = listener->sent[0].reply;
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 16, reply.begin() + 20),
              (std::vector<std::uint8_t>{0xC0, 0xA8, 0x01, 0x32}));
}

TEST_F(AssignmentFlow, ReopenedDialogShowsTheRowsValuesAndCancelChangesNothing)
{
    Hear(ChosenUnit, 1, 1);
    SelectRow(window.Units(), 0);
    AssignSelected(Example);
    const QStringList assigned = RowTexts(window.Units(), 0);

    ModalScript second;
    second.Then([&](QWidget* dialog) {
        const auto [ip, mask, gateway] = AddressControls(dialog);
        opened = {ip->GetAddress(), mask->GetAddress(), gateway->GetAddress()};
        ip->SetAddress(0x0A000001);
        PressKey(dialog, Qt::Key_Escape);
    });
    window.OnSetIpAddress();

    EXPECT_EQ(second.StepsDone(), 1);
    EXPECT_EQ(opened.ip, Example.ip);
    EXPECT_EQ(opened.mask, Example.mask);
    EXPECT_EQ(opened.gateway, Example.gateway);
    EXPECT_EQ(RowTexts(window.Units(), 0), assigned);
    EXPECT_EQ(listener->sent.size(), 1u);
}

TEST_F(AssignmentFlow, MenuCommandTellsWhatIsMissingAndDoubleClickStaysSilent)
{
    const SeenMessage empty = MessageShownBy([&] { window.OnSetIpAddress(); });
    EXPECT_EQ(empty.text, "The list does not contain any items.");
    EXPECT_EQ(empty.icon, QMessageBox::Information);
    EXPECT_EQ(empty.caption, QCoreApplication::applicationName());
    EXPECT_EQ(ModalsOpenedBy([&] {
        window.OnUnitListDblClk();
        QTest::mouseDClick(window.UnitListView().viewport(), Qt::LeftButton, {}, {20, 20});
    }), 0);

    Hear(ChosenUnit, 1, 1);
    Hear(OtherUnit, 2, 1);
    window.Units().selection.clearSelection();
    const SeenMessage unselected = MessageShownBy([&] { window.OnSetIpAddress(); });
    EXPECT_EQ(unselected.text, "You must first select an item in the list.");
    EXPECT_EQ(unselected.icon, QMessageBox::Information);
    // A double-click with rows but none selected has no unit to assign.
    EXPECT_EQ(ModalsOpenedBy([&] { window.OnUnitListDblClk(); }), 0);
    EXPECT_TRUE(listener->sent.empty());
}

TEST_F(AssignmentFlow, PressBelowTheRowsUnselectsSoItsDoubleClickOpensNothingNorDoesARightDoubleClick)
{
    Hear(ChosenUnit, 1, 1);
    Hear(OtherUnit, 2, 1);
    SelectRow(window.Units(), 0);
    QWidget* viewport = window.UnitListView().viewport();
    const QPoint belowTheRows(20, viewport->height() - 5);
    EXPECT_EQ(ModalsOpenedBy([&] {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, belowTheRows);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, belowTheRows);
    }), 0);
    EXPECT_EQ(window.Units().FindSelectedRow(), CUnitList::NoRow);

    const QPoint onARow = window.UnitListView().visualRect(window.Units().index(1, 0)).center();
    EXPECT_EQ(ModalsOpenedBy([&] {
        QTest::mouseClick(viewport, Qt::RightButton, {}, onARow);
        QTest::mouseDClick(viewport, Qt::RightButton, {}, onARow);
    }), 0);
    EXPECT_TRUE(listener->sent.empty());
}

TEST_F(AssignmentFlow, RequestDuringTheDialogIsTheOneAnswered)
{
    Hear(ChosenUnit, 0x11111111, 1);
    SelectRow(window.Units(), 0);
    AssignSelected(Example, [&] { Hear(ChosenUnit, 0x22222222, 2); });

    ASSERT_EQ(listener->sent.size(), 1u);
    EXPECT_EQ(listener->sent[0].reply, ExpectedReply(0x22222222, ChosenUnit, Example));
    EXPECT_EQ(listener->sent[0].outgoing.index, 2u);
    EXPECT_EQ(window.Units().RowCount(), 1);
}

TEST_F(AssignmentFlow, NewUnitDuringTheDialogDoesNotTakeTheChosenUnitsPlace)
{
    Hear(ChosenUnit, 0x11111111, 1);
    SelectRow(window.Units(), 0);
    AssignSelected(Example, [&] { Hear(OtherUnit, 0x33333333, 2); });

    EXPECT_EQ(RowTexts(window.Units(), 0), (QStringList{"02-4B-7E-01-02-0B", "0.0.0.0", "?.?.?.?", "?.?.?.?", "No"}));
    EXPECT_EQ(RowTexts(window.Units(), 1), (QStringList{"02-4B-7E-01-02-0A", "192.168.1.50", "255.255.255.0", "192.168.1.1", "Yes"}));
    ASSERT_EQ(listener->sent.size(), 1u);
    EXPECT_EQ(listener->sent[0].reply, ExpectedReply(0x11111111, ChosenUnit, Example));
    EXPECT_EQ(listener->sent[0].outgoing.index, 1u);
}

TEST_F(AssignmentFlow, FailedSendLeavesTheAddressesAndSaysNo)
{
    Hear(ChosenUnit, 1, 1);
    SelectRow(window.Units(), 0);
    AssignSelected(Example);
    ASSERT_EQ(RowTexts(window.Units(), 0)[SentColumn], "Yes");

    listener->failSends = true;
    EXPECT_EQ(AssignSelected({0x0A000005, 0xFFFF0000, 0}), 0) << "a failed send shows no message";
    EXPECT_EQ(RowTexts(window.Units(), 0), (QStringList{"02-4B-7E-01-02-0A", "10.0.0.5", "255.255.0.0", "0.0.0.0", "No"}));
}

TEST(AssignmentWithoutListener, WritesTheRowThenAsksForListenAndSendsNothing)
{
    CBootpToolDlg window;
    window.OnBootRequest(ReadBootRequest(BuildBootRequest(1, ChosenUnit)), {1});
    SelectRow(window.Units(), 0);
    SeenMessage seen;
    ModalScript script;
    script.Then([](QWidget* dialog) {
        AddressControls(dialog)[0]->SetAddress(0x0A000005);
        AddressControls(dialog)[1]->SetAddress(0xFF000000);
        ButtonWithText(dialog, "&Send")->click();
    });
    script.Then(AcknowledgeMessage(seen));
    window.OnSetIpAddress();

    EXPECT_EQ(seen.text, "You must first select the \"Listen\" button.");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(window.Units().Text(0, IpAddressColumn), "10.0.0.5");
    EXPECT_EQ(window.Units().Text(0, SentColumn), "No");
}

} // namespace
