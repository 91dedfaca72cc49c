#include "widgets/IpAddressControl.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

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

    void Press(Qt::Key key) { QTest::keyClick(WaitForFocus(&dialog), key); }
    void Type(const char* keys) { TypeAtFullSpeed(QString::fromLatin1(keys)); }
    void TabIn()
    {
        before->setFocus();
        Press(Qt::Key_Tab); // selects the first field, so typing replaces it
    }

    // The ways text gets into a field at the end of what it holds.
    static void PasteByKey(QLineEdit* field, const QKeySequence& keys, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        field->setFocus();
        field->end(false);
        QTest::keySequence(field, keys);
    }
    static void PasteFromMenu(QLineEdit* field, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        field->end(false);
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, {2, 2}, field->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(field, &event);
    }
    static void Drop(QLineEdit* field, const QString& text)
    {
        QMimeData data;
        data.setText(text);
        const QPointF atTheEnd(field->width() - 2, field->height() / 2);
        QDragEnterEvent enter(atTheEnd.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(field, &enter);
        QDropEvent drop(atTheEnd, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(field, &drop);
    }

    QDialog dialog;
    QLineEdit* before = new QLineEdit(&dialog);
    CIpAddressControl* control = new CIpAddressControl(&dialog);
    QPushButton* after = new QPushButton(QStringLiteral("OK"), &dialog);
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

TEST_F(IpAddressControlTest, NumberAbove255IsSetTo255WithANoticeThatTakesNoKeys)
{
    EXPECT_EQ(ModalsOpenedBy([&] {
        TabIn();
        Type("300");
        EXPECT_TRUE(control->NoticeShown().contains(QStringLiteral("300"))) << control->NoticeShown().toStdString();
        EXPECT_EQ(QApplication::activeWindow(), &dialog);
        Type("255");
    }), 0);
    EXPECT_EQ(Shown(), QStringLiteral("255.255.0.0"));
    EXPECT_EQ(QApplication::focusWidget(), Field(2));
    EXPECT_EQ(control->NoticeShown(), QString()) << "the next key hides it";

    Type("999");
    EXPECT_FALSE(control->NoticeShown().isEmpty());
    after->setFocus();
    EXPECT_EQ(control->NoticeShown(), QString()) << "the focus leaving hides it";
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

TEST_F(IpAddressControlTest, EveryWayInTakesAWholeAddressOrDigitsAndRefusesTheRestWithANotice)
{
    const std::pair<const char*, std::function<void(QLineEdit*, const QString&)>> ways[] = {
        {"Ctrl+V", [](QLineEdit* field, const QString& text) { PasteByKey(field, QKeySequence(Qt::CTRL | Qt::Key_V), text); }},
        {"Shift+Insert", [](QLineEdit* field, const QString& text) { PasteByKey(field, QKeySequence(Qt::SHIFT | Qt::Key_Insert), text); }},
        {"the menu's Paste", PasteFromMenu},
        {"a drop", Drop},
    };
    const QString refused[] = {
        QString(10000, QLatin1Char('1')),
        QStringLiteral("\uFF11\uFF19\uFF12.\uFF11\uFF16\uFF18.\uFF11.\uFF15\uFF10"), // full-width digits
        QStringLiteral("\u0661\u0669\u0662"),                                        // Arabic-Indic digits
        QStringLiteral("1.2.3.4.5"),
        QStringLiteral("1.2.3"),
        QStringLiteral("1234"),
        QStringLiteral("abc"),
    };
    for (const auto& [way, enter] : ways) {
        SCOPED_TRACE(way);
        control->SetAddress(0x01020304);
        enter(Field(2), QStringLiteral(" 10.0.0.7\n"));
        EXPECT_EQ(Shown(), QStringLiteral("10.0.0.7"));
        EXPECT_EQ(control->NoticeShown(), QString());

        enter(Field(1), QStringLiteral("999.1.2.999"));
        EXPECT_EQ(Shown(), QStringLiteral("255.1.2.255"));
        EXPECT_TRUE(control->NoticeShown().contains(QStringLiteral("999"))) << control->NoticeShown().toStdString();

        Field(1)->setText(QStringLiteral("4"));
        enter(Field(1), QStringLiteral("2"));
        EXPECT_EQ(Shown(), QStringLiteral("255.42.2.255"));

        for (const QString& text : refused) {
            enter(Field(1), text);
            EXPECT_EQ(Shown(), QStringLiteral("255.42.2.255")) << text.left(20).toStdString();
            EXPECT_TRUE(control->NoticeShown().contains(text.left(10))) << control->NoticeShown().toStdString();
        }
        enter(Field(1), QStringLiteral("1.2.3.4.5\n"));
        EXPECT_TRUE(control->NoticeShown().contains(QStringLiteral("\u201C1.2.3.4.5\u201D")))
            << "quoted without its line end: " << control->NoticeShown().toStdString();
    }
}

TEST(IpAddressControlPrimarySelection, MiddleClickTakesTheSelectionAsAnyPaste)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection())
        GTEST_SKIP() << "this platform has no primary selection; ctest runs this test on a virtual X server";
    QWidget window;
    auto* control = new CIpAddressControl(&window);
    window.resize(control->sizeHint());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    clipboard->setText(QStringLiteral("192.168.1.50"), QClipboard::Selection);
    QTest::mouseClick(control->Field(0), Qt::MiddleButton);
    EXPECT_EQ(control->GetAddress(), 0xC0A80132u);

    clipboard->setText(QStringLiteral("1.2.3.4.5"), QClipboard::Selection);
    QTest::mouseClick(control->Field(2), Qt::MiddleButton);
    EXPECT_EQ(control->GetAddress(), 0xC0A80132u);
    EXPECT_TRUE(control->NoticeShown().contains(QStringLiteral("1.2.3.4.5")));
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
