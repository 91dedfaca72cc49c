// The application's run: the main window as its one loop, and the end
// without any window when the sockets cannot be used.

#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "ui/BootpToolApp.h"
#include "ui/BootpToolDlg.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

class AppWithoutSockets : public CBootpToolApp {
protected:
    bool InitSocketLayer() override { return false; }
};

TEST(Application, WithoutSocketsShowsOneMessageAndNoWindow)
{
    AppWithoutSockets app;
    SeenMessage seen;
    bool mainWindowExisted = false;
    ModalScript script;
    script.Then([&](QWidget* box) {
        for (QWidget* top : QApplication::topLevelWidgets())
            mainWindowExisted = mainWindowExisted || qobject_cast<CBootpToolDlg*>(top);
        AcknowledgeMessage(seen)(box);
    });
    EXPECT_FALSE(app.InitInstance());

    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(script.UnexpectedModals(), 0);
    EXPECT_EQ(seen.text, "Windows sockets initialization failed.");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.caption, QCoreApplication::applicationName());
    EXPECT_FALSE(mainWindowExisted);
    EXPECT_NE(app.ExitStatus(), 0);
}

TEST(Application, RunsTheMainWindowUntilItEndsAndCarriesItsVersion)
{
    CBootpToolApp app;
    EXPECT_EQ(QCoreApplication::applicationVersion(), "1.1.2.0");
    EXPECT_EQ(QCoreApplication::organizationName(), "Tarvik");

    QString title;
    ModalScript script;
    script.Then([&](QWidget* window) {
        title = window->windowTitle();
        ButtonWithText(window, "E&xit")->click();
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(script.StepsDone(), 1);
    EXPECT_EQ(script.UnexpectedModals(), 0);
    EXPECT_EQ(title, "Tarvik BootP Tool");
    EXPECT_EQ(app.ExitStatus(), 0);
}

} // namespace
