// Help > About with the application icon, and Help > Contents, headless.

#include "core/BootpMessage.h"
#include "res/AppIcon.h"
#include "tests/support/DialogDriving.h"
#include "tests/support/ModalScript.h"
#include "tests/support/TestToolDlg.h"
#include "ui/HelpViewer.h"
#include "ui/MainMenu.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QStringList Texts(const QWidget* dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    return texts;
}

TEST(AboutBox, ShowsTheIconProductAndVersionAndEveryWayOutChangesNothing)
{
    TestToolDlg window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.OnListen();

    const std::pair<const char*, std::function<void(QWidget*)>> ways[] = {
        {"OK", [](QWidget* box) { ButtonWithText(box, "OK")->click(); }},
        {"Escape", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }},
        {"close box", [](QWidget* box) { box->close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        QString caption;
        QStringList texts;
        bool hasIcon = false;
        ModalScript script;
        script.Then([&, close = close](QWidget* box) {
            caption = box->windowTitle();
            texts = Texts(box);
            for (const QLabel* label : box->findChildren<QLabel*>())
                hasIcon = hasIcon || !label->pixmap().isNull();
            // A unit heard while the box is open is listed all the same.
            window.OnBootRequest(ReadBootRequest(BuildBootRequest(7, {0x02, 0x4B, 0x7E, 0, 0, 7})), {1});
            close(box);
        });
        MenuCommand(window.MenuBar(), CommandId::About)->trigger();

        EXPECT_EQ(script.StepsDone(), 1);
        EXPECT_EQ(script.UnexpectedModals(), 0);
        EXPECT_EQ(caption, "About TarvikBootP Tool");
        EXPECT_EQ(texts, (QStringList{"Tarvik BootP Tool", "Version: R1.1a"}));
        EXPECT_TRUE(hasIcon);
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.IsListening());
        EXPECT_EQ(window.Units().RowCount(), 1);
    }
}

// At twice the pixels, as on a 2x screen, the icon is the picture drawn for
// 64 pixels, neither of the 32-pixel one's scalings.
TEST(AppIcon, AtRatioTwoIsDrawnForThePixelsNotScaledUp)
{
    const QIcon icon = AppIcon();
    const QImage sharp = icon.pixmap(QSize(32, 32), 2.0).toImage();
    ASSERT_EQ(sharp.size(), QSize(64, 64));
    const QImage small = icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(sharp.format());
    EXPECT_NE(sharp, small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    EXPECT_NE(sharp, small.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

CHelpViewer* OpenHelpViewer()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* viewer = qobject_cast<CHelpViewer*>(top); viewer && viewer->isVisible())
            return viewer;
    }
    return nullptr;
}

TEST(Help, WithoutItsFileTheHelpWindowSaysSoAndTheProgramShowsNoMessage)
{
    // This test program's folder holds no help file.
    ASSERT_FALSE(QFile::exists(QCoreApplication::applicationDirPath() + "/" + HelpFileName));
    TestToolDlg window;
    window.show();
    EXPECT_EQ(ModalsOpenedBy([&] { MenuCommand(window.MenuBar(), CommandId::HelpContents)->trigger(); }), 0);

    CHelpViewer* viewer = OpenHelpViewer();
    ASSERT_NE(viewer, nullptr);
    const QString shown = viewer->Browser().toPlainText();
    EXPECT_TRUE(shown.contains("Vuravevo.html could not be found")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()))) << shown.toStdString();
    EXPECT_TRUE(viewer->isWindow());
}

TEST(Help, OpensTheManualAtItsContentsFromTheFirstFolderThatHoldsIt)
{
    QTemporaryDir empty;
    CHelpViewer viewer;
    viewer.ShowContents({empty.path(), HELP_SOURCE_FOLDER});
    EXPECT_EQ(viewer.Browser().documentTitle(), "Tarvik BootP Tool Help");
    EXPECT_EQ(viewer.Browser().source().fileName(), HelpFileName);
    EXPECT_TRUE(viewer.Browser().toPlainText().contains("Contents"));

    // Every link of the contents leads to a place in the manual.
    const QTextDocument* manual = viewer.Browser().document();
    QStringList links, places;
    for (QTextBlock block = manual->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.anchorHref().startsWith('#'))
                links << format.anchorHref().mid(1);
            places << format.anchorNames();
        }
    }
    for (const QString& link : links)
        EXPECT_TRUE(places.contains(link)) << link.toStdString();
    EXPECT_GE(links.size(), 10);
}

TEST(Help, EscapeClosesTheHelpWindow)
{
    CHelpViewer viewer;
    viewer.ShowContents({HELP_SOURCE_FOLDER});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    PressKey(&viewer, Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
}

} // namespace
