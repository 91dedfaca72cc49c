#include "widgets/IpAddressControl.h"
#include "tests/support/ModalScript.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The control in a dialog between a line edit and a default button.
class IpAddressControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(before);
        layout->addWidget(control);
        layout->addWidget(after);
        after->setDefault(true);
        QObject::connect(after, &QPushButton::clicked, &dialog, &QDialog::accept);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* Field(int index) const { return control->Field(index); }
    QString Shown() const
    {
        return QStringList{Field(0)->text(), Field(1)->text(), Field(2)->text(), Field(3)->text()}.join('.');
    }

    // Keys go to the focus. Offscreen, nothing reactivates the dialog when a
    // message box closes, so this does.
    QWidget* Focus()
    {
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        return QApplication::focusWidget();
    }
    void Press(Qt::Key key) { QTest::keyClick(Focus(), key); }
    void Type(const char* keys)
    {
        for (; *keys; ++keys)
            QTest::keyClick(Focus(), *keys);
    }
    void TabIn()
    {
        before->setFocus();
        Press(Qt::Key_Tab); // selects the first field, so typing replaces it
    }

    void Paste(int index, const char* clipboard)
    {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(clipboard));
        Field(index)->setFocus();
        QTest::keySequence(Field(index), QKeySequence::Paste);
    }
    void PasteFromMenu(int index, const char* clipboard)
    {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(clipboard));
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, {2, 2}, Field(index)->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(Field(index), &event);
    }

    QDialog dialog;
    QLineEdit* before = new QLineEdit(&dialog);
    CIpAddressControl* control = new CIpAddressControl(&dialog);
    QPushButton* after = new QPushButton(QStringLiteral("OK"), &dialog);
    SeenMessage seen;
};

TEST_F(IpAddressControlTest, TypingMovesOnAtADotOrAfterThreeDigits)
{
    TabIn();
    Type("10.0.0.7");
    EXPECT_EQ(control->GetAddress(), 0x0A000007u);
    TabIn();
    Type("192168001050");
    EXPECT_EQ(control->GetAddress(), 0xC0A80132u);
    // Neither other characters nor a fourth digit get in.
    Field(3)->clear();
    Type("1a 2-3,4.");
    EXPECT_EQ(Field(3)->text(), QStringLiteral("123"));
    // After three digits the dot that follows ends the same octet.
    TabIn();
    Type("192.168.1.50");
    EXPECT_EQ(Shown(), QStringLiteral("192.168.1.50"));
    // Anywhere else a dot moves on to the next field.
    TabIn();
    Type("..7");
    EXPECT_EQ(Shown(), QStringLiteral("192.168.7.50"));
}

TEST_F(IpAddressControlTest, NumberAbove255IsSetTo255WithANotice)
{
    ModalScript script;
    script.Then(AcknowledgeMessage(seen));
    TabIn();
    Type("300255");
    EXPECT_EQ(Shown(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(QApplication::focusWidget(), Field(2));
    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(script.UnexpectedModals(), 0); // 255 itself is fine
    EXPECT_TRUE(seen.text.contains(QStringLiteral("300"))) << seen.text.toStdString();
}

TEST_F(IpAddressControlTest, BackspaceInAnEmptyFieldMovesBack)
{
    control->SetAddress(0x0A141E28); // 10.20.30.40
    Field(2)->clear();
    Field(2)->setFocus();
    Press(Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), Field(1));
    EXPECT_EQ(Field(1)->cursorPosition(), 2);
    EXPECT_EQ(Field(1)->text(), QStringLiteral("20"));
}

TEST_F(IpAddressControlTest, PastedAddressFillsAllFields)
{
    Paste(2, " 10.0.0.7\n");
    EXPECT_EQ(Shown(), QStringLiteral("10.0.0.7"));
    PasteFromMenu(1, "172.16.0.9");
    EXPECT_EQ(Shown(), QStringLiteral("172.16.0.9"));

    ModalScript script;
    script.Then(AcknowledgeMessage(seen));
    Paste(0, "1.2.3.999");
    EXPECT_EQ(control->GetAddress(), 0x010203FFu);
    EXPECT_TRUE(seen.text.contains(QStringLiteral("999"))) << seen.text.toStdString();

    // Plain digits go into the field, once even from the menu; nothing else does.
    Field(1)->setText(QStringLiteral("4"));
    Paste(1, "2");
    PasteFromMenu(2, "0");
    for (const char* refused : {"1.2.3", "1.2.3.4.5", "abc", "1234", "1..2.3"})
        Paste(1, refused);
    EXPECT_EQ(Shown(), QStringLiteral("1.42.30.255"));
    EXPECT_EQ(script.UnexpectedModals(), 0);
}

TEST_F(IpAddressControlTest, PasteOfFourNumbersAbove255ShowsOneNotice)
{
    ModalScript script;
    script.Then(AcknowledgeMessage(seen));
    Paste(1, "999.999.999.999");
    EXPECT_EQ(Shown(), QStringLiteral("255.255.255.255"));
    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(script.UnexpectedModals(), 0) << "one notice, not one a field";
    EXPECT_TRUE(seen.text.contains(QStringLiteral("999"))) << seen.text.toStdString();
}

TEST_F(IpAddressControlTest, AddressValueMatchesTheFields)
{
    for (const std::uint32_t address : {0u, 1u, 0x7F000001u, 0x80000000u, 0x00FF00FFu, 0xFFFFFFFFu}) {
        control->SetAddress(address);
        EXPECT_EQ(control->GetAddress(), address);
    }
    control->SetAddress(0);
    EXPECT_EQ(Shown(), QStringLiteral("0.0.0.0"));
    control->SetAddress(0xC0A80114);
    EXPECT_EQ(Shown(), QStringLiteral("192.168.1.20"));
    Field(2)->clear();
    EXPECT_EQ(control->GetAddress(), 0xC0A80014u);
}

TEST_F(IpAddressControlTest, ControlIsOneNamedTabStopAndLetsEnterThrough)
{
    TabIn();
    EXPECT_EQ(QApplication::focusWidget(), Field(0));
    for (int i = 0; i < CIpAddressControl::FieldCount; ++i) {
        Field(i)->setFocus();
        Press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), after) << "Tab from field " << i;
        Field(i)->setFocus();
        Press(Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), before) << "Shift+Tab from field " << i;
    }
    EXPECT_EQ(Field(0)->accessibleName(), QStringLiteral("IP Address, octet 1 of 4"));
    control->SetAccessibleLabel(QStringLiteral("Gateway"));
    EXPECT_EQ(control->accessibleName(), QStringLiteral("Gateway"));
    EXPECT_EQ(Field(3)->accessibleName(), QStringLiteral("Gateway, octet 4 of 4"));

    Field(2)->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
