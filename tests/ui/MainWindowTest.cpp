// The main window as the operator meets it, headless: its state before and
// after Listen, the exit routes, Escape, Enter, the tips, the menu, and what
// a screen reader finds.

#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/QtPrinting.h"
#include "tests/support/TestToolDlg.h"
#include "tests/support/UnitRows.h"
#include "ui/MainMenu.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

const QString Exit = "E&xit", Listen = "&Listen", Clear = "&Clear", Ping = "PING &Selected", Print = "&Print";

struct ButtonStates {
    bool listen, ping, print, clear, exit;
    bool operator==(const ButtonStates&) const = default;
};
const ButtonStates NotListening{true, false, false, false, true};
const ButtonStates Listening{false, true, true, true, true};

void PrintTo(const ButtonStates& s, std::ostream* os)
{
    *os << "Listen " << s.listen << " PING " << s.ping << " Print " << s.print << " Clear " << s.clear << " Exit "
        << s.exit;
}

class MainWindow : public ::testing::Test {
protected:
    void Show()
    {
        window.show();
        // Active for the widgets, not only for the platform: focus and keys depend on it.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
    }

    QPushButton* Button(const QString& caption) { return ButtonWithText(&window, caption); }

    ButtonStates States()
    {
        return {Button(Listen)->isEnabled(), Button(Ping)->isEnabled(), Button(Print)->isEnabled(),
                Button(Clear)->isEnabled(), Button(Exit)->isEnabled()};
    }

    QAction* Command(CommandId command) { return MenuCommand(window.MenuBar(), command); }

    void HearUnits(int count) { ::HearUnits(window, count); }

    // The tip a resting mouse would show over `control`, or an empty text.
    static QString TipShownOver(QWidget* control)
    {
        QToolTip::hideText();
        const QPoint inside = control->rect().center();
        QHelpEvent event(QEvent::ToolTip, inside, control->mapToGlobal(inside));
        QApplication::sendEvent(control, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    void PressOn(QWidget* focus, Qt::Key key)
    {
        focus->setFocus();
        QTest::keyClick(focus, key);
    }

    TestToolDlg window;
};

TEST_F(MainWindow, OpensNotListeningWithItsControlsCaptionsAndTips)
{
    Show();
    EXPECT_EQ(window.windowTitle(), "Tarvik BootP Tool");
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the window has a fixed size";
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_LE((window.frameGeometry().center() - window.screen()->availableGeometry().center()).manhattanLength(), 2)
        << "centred on the screen";
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.UnitListView().header()->count(), UnitColumnCount);
    EXPECT_EQ(window.Units().RowCount(), 0);
    EXPECT_EQ(States(), NotListening);
    EXPECT_EQ(QApplication::focusWidget(), &window.UnitListView()) << "the list is the first tab stop";
    EXPECT_FALSE(window.IsListening());

    // The buttons stand in a column right of the list, Exit alone at the bottom.
    const QString column[] = {Listen, Ping, Print, Clear, Exit};
    for (int i = 0; i + 1 < 5; ++i)
        EXPECT_LT(Button(column[i])->y(), Button(column[i + 1])->y()) << column[i].toStdString();
    EXPECT_GT(Button(Listen)->x(), window.UnitListView().geometry().right());

    QStringList menu;
    for (QAction* top : window.MenuBar().actions()) {
        menu << top->text();
        for (QAction* item : top->menu()->actions())
            menu << (item->isSeparator() ? "-" : "  " + item->text());
    }
    EXPECT_EQ(menu, (QStringList{"&File", "  E&xit", "A&ctions", "  &ToolTips Enabled", "  &Listen",
                                 "  &Set IP Address", "  &Clear", "  &Print", "&Help", "  &Contents", "-",
                                 "  &About"}));
    EXPECT_TRUE(Command(CommandId::ToggleToolTips)->isChecked());

    EXPECT_EQ(TipShownOver(window.UnitListView().viewport()), "Double click an item to manually assign an IP address");
    EXPECT_EQ(TipShownOver(Button(Listen)), "Begin watching for I/O units that are sending BootP request.");
    EXPECT_EQ(TipShownOver(Button(Clear)), "Clear any items from the list");
    EXPECT_EQ(TipShownOver(Button(Print)), "Print the list");
    EXPECT_EQ(TipShownOver(Button(Ping)), "Ping selected IP Address");
    EXPECT_EQ(TipShownOver(Button(Exit)), "Quit the Tarvik BootP Tool");
}

TEST_F(MainWindow, ListenSwitchesTheButtonsOnceAndThenOnlySaysSo)
{
    Show();
    EXPECT_EQ(ModalsOpenedBy([&] { Button(Listen)->click(); }), 0);
    EXPECT_TRUE(window.IsListening());
    EXPECT_EQ(States(), Listening);

    // The button is disabled now; the menu command still runs.
    const SeenMessage again = MessageShownBy([&] { Command(CommandId::Listen)->trigger(); });
    EXPECT_EQ(again.text, "Already Listening for BootP request.");
    EXPECT_EQ(again.icon, QMessageBox::Warning);
    EXPECT_EQ(again.caption, QCoreApplication::applicationName());
    EXPECT_EQ(window.listener.made, 1);
    EXPECT_EQ(window.listener.destroyed, 0);
    EXPECT_EQ(States(), Listening);
}

TEST_F(MainWindow, FailedListenKeepsNoSocketAndCanBeTriedAgain)
{
    Show();
    window.listener.bindable = false;
    const SeenMessage failed = MessageShownBy([&] { Button(Listen)->click(); });
    EXPECT_EQ(failed.text, "Fail to create socket, Can NOT listen for BootP request.");
    EXPECT_EQ(failed.icon, QMessageBox::Warning);
    EXPECT_FALSE(window.IsListening());
    EXPECT_EQ(window.listener.destroyed, 1);
    EXPECT_EQ(States(), NotListening);

    window.listener.bindable = true;
    EXPECT_EQ(ModalsOpenedBy([&] { Button(Listen)->click(); }), 0);
    EXPECT_TRUE(window.IsListening());
    EXPECT_EQ(States(), Listening);
}

TEST_F(MainWindow, EveryExitRouteClosesTheListenerAndEndsTheWindow)
{
    const std::pair<const char*, std::function<void(TestToolDlg&)>> routes[] = {
        {"Exit button", [](TestToolDlg& w) { ButtonWithText(&w, "E&xit")->click(); }},
        {"Alt+X",
         [](TestToolDlg& w) {
             w.activateWindow();
             ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }));
             QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier);
         }},
        {"close box or Alt+F4", [](TestToolDlg& w) { w.close(); }},
        {"File > Exit", [](TestToolDlg& w) { MenuCommand(w.MenuBar(), CommandId::AppExit)->trigger(); }},
    };
    for (const bool listen : {true, false}) {
        for (const auto& [route, take] : routes) {
            SCOPED_TRACE(std::string(route) + (listen ? ", listening" : ", not listening"));
            TestToolDlg dlg;
            int messagesSeen = 0;
            ModalScript script;
            script.Then([&, take = take](QWidget* modal) {
                ASSERT_EQ(modal, &dlg);
                if (listen)
                    dlg.OnListen();
                messagesSeen = ModalsOpenedBy([&] { take(dlg); });
            });
            EXPECT_EQ(dlg.DoModal(), QDialog::Accepted);
            EXPECT_EQ(script.StepsDone(), 1);
            EXPECT_FALSE(script.TimedOut());
            EXPECT_EQ(messagesSeen, 0);
            EXPECT_FALSE(dlg.isVisible());
            EXPECT_FALSE(dlg.IsListening());
            EXPECT_EQ(dlg.listener.made, listen ? 1 : 0);
            EXPECT_EQ(dlg.listener.destroyed, dlg.listener.made) << "the listener is closed before the window ends";
        }
    }
}

TEST_F(MainWindow, EscapeClearsTheListWhateverTheClearButtonsStateAndNeverCloses)
{
    Show();
    HearUnits(3);
    ASSERT_FALSE(Button(Clear)->isEnabled());
    EXPECT_EQ(ModalsOpenedBy([&] { PressOn(&window.UnitListView(), Qt::Key_Escape); }), 0);
    EXPECT_EQ(window.Units().RowCount(), 0);
    EXPECT_TRUE(window.isVisible());

    PressOn(&window.UnitListView(), Qt::Key_Escape);
    EXPECT_EQ(window.Units().RowCount(), 0);
    EXPECT_TRUE(window.isVisible());

    window.OnListen();
    HearUnits(2);
    PressOn(Button(Print), Qt::Key_Escape);
    EXPECT_EQ(window.Units().RowCount(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.IsListening());
}

TEST_F(MainWindow, ToolTipsEnabledSwitchesTheTipsAndItsCheckMark)
{
    Show();
    QAction* toggle = Command(CommandId::ToggleToolTips);
    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(TipShownOver(Button(Listen)), "");
    EXPECT_EQ(TipShownOver(window.UnitListView().viewport()), "");

    toggle->trigger();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(TipShownOver(Button(Listen)), "Begin watching for I/O units that are sending BootP request.");
    EXPECT_EQ(TipShownOver(window.UnitListView().viewport()), "Double click an item to manually assign an IP address");
}

TEST_F(MainWindow, AScreenReaderFindsTheListByItsNameWithItsTipAsDescriptionAlsoWithTipsOff)
{
    Show();
    Command(CommandId::ToggleToolTips)->trigger();
    QStringList lists;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child->role() == QAccessible::Tree || child->role() == QAccessible::List ||
                child->role() == QAccessible::Table)
                lists << child->text(QAccessible::Name) + " / " + child->text(QAccessible::Description);
            else
                walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    EXPECT_EQ(lists.join('\n').toStdString(),
              "Tarvik Ethernet I/O Units / Double click an item to manually assign an IP address");
}

TEST_F(MainWindow, WithoutTipsTheWindowIsStillSetUpAndTheMenuShowsThemOff)
{
    window.toolTipsAvailable = false;
    Show();
    EXPECT_EQ(window.UnitListView().header()->count(), UnitColumnCount);
    EXPECT_EQ(States(), NotListening);
    QAction* toggle = Command(CommandId::ToggleToolTips);
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(TipShownOver(Button(Exit)), "");

    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(TipShownOver(Button(Exit)), "");
}

TEST_F(MainWindow, MenuCommandsRunWhileTheirButtonsAreDisabled)
{
    Show();
    HearUnits(2);
    ASSERT_FALSE(Button(Clear)->isEnabled());
    Command(CommandId::ClearList)->trigger();
    EXPECT_EQ(window.Units().RowCount(), 0);

    HearUnits(1);
    SelectRow(window.Units(), 0);
    bool dialogOpened = false;
    ModalScript script;
    script.Then([&](QWidget* dialog) {
        dialogOpened = dialog->windowTitle() == "Enter IP Information";
        ButtonWithText(dialog, "Cancel")->click();
    });
    Command(CommandId::SetIpAddress)->trigger();
    EXPECT_TRUE(dialogOpened);
    EXPECT_EQ(script.UnexpectedModals(), 0);
}

TEST_F(MainWindow, EnterClicksTheFocusedButtonElsePingWhileItIsEnabled)
{
    Show();
    QSignalSpy pings(Button(Ping), &QPushButton::clicked);
    QSignalSpy prints(Button(Print), &QPushButton::clicked);
    HearUnits(1);

    EXPECT_EQ(ModalsOpenedBy([&] { PressOn(&window.UnitListView(), Qt::Key_Return); }), 0);
    EXPECT_EQ(pings.count(), 0) << "before Listen Enter in the list does nothing";

    PressOn(Button(Listen), Qt::Key_Return);
    EXPECT_TRUE(window.IsListening());

    // No row is selected, so each ping says so.
    EXPECT_EQ(ModalsOpenedBy([&] { PressOn(&window.UnitListView(), Qt::Key_Return); }), 1);
    EXPECT_EQ(pings.count(), 1);
    EXPECT_EQ(ModalsOpenedBy([&] { PressOn(&window.UnitListView(), Qt::Key_Enter); }), 1);
    EXPECT_EQ(pings.count(), 2);

    // The tests have no printer, which is said too.
    EXPECT_EQ(ModalsOpenedBy([&] { PressOn(Button(Print), Qt::Key_Return); }), 1);
    EXPECT_EQ(prints.count(), 1);
    EXPECT_EQ(pings.count(), 2);
    EXPECT_EQ(window.Units().RowCount(), 1) << "Enter never reaches Clear";
}

TEST_F(MainWindow, AButtonsMnemonicComesBeforeTheMenusWhileTheButtonIsEnabled)
{
    Show();
    HearUnits(2);
    const auto pressAlt = [&](Qt::Key key) {
        // Active again after any message box, or the menu bar takes no keys.
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
        QTest::keyClick(&window.UnitListView(), key, Qt::AltModifier);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const QString opened = popup ? popup->title() : QString();
        if (popup)
            popup->close();
        window.UnitListView().setFocus();
        return opened;
    };
    // Clear is disabled: Alt+C opens the Actions menu.
    EXPECT_EQ(pressAlt(Qt::Key_C), "A&ctions");
    EXPECT_EQ(window.Units().RowCount(), 2);

    EXPECT_EQ(pressAlt(Qt::Key_L), "");
    EXPECT_TRUE(window.IsListening());
    EXPECT_EQ(pressAlt(Qt::Key_C), "");
    EXPECT_EQ(window.Units().RowCount(), 0);
    QSignalSpy pings(Button(Ping), &QPushButton::clicked);
    EXPECT_EQ(ModalsOpenedBy([&] { EXPECT_EQ(pressAlt(Qt::Key_S), ""); }), 1) << "the list is empty";
    EXPECT_EQ(pings.count(), 1);
    EXPECT_EQ(pressAlt(Qt::Key_H), "&Help");
}

} // namespace
