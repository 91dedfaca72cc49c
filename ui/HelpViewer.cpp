#include "ui/HelpViewer.h"

#include "res/AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

QStringList HelpFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QDir::cleanPath(programFolder + "/../share/TarvikBootP"),
            QDir::cleanPath(programFolder + "/../Resources")};
}

CHelpViewer::CHelpViewer()
    : contentsButton(tr("&Contents")), backButton(tr("&Back")), forwardButton(tr("&Forward"))
{
    setWindowTitle(tr("Tarvik BootP Tool Help"));
    setWindowIcon(AppIcon());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(&contentsButton);
    buttons->addWidget(&backButton);
    buttons->addWidget(&forwardButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(&browser);

    backButton.setEnabled(false);
    forwardButton.setEnabled(false);
    connect(&contentsButton, &QPushButton::clicked, &browser, &QTextBrowser::home);
    connect(&backButton, &QPushButton::clicked, &browser, &QTextBrowser::backward);
    connect(&forwardButton, &QPushButton::clicked, &browser, &QTextBrowser::forward);
    connect(&browser, &QTextBrowser::backwardAvailable, &backButton, &QPushButton::setEnabled);
    connect(&browser, &QTextBrowser::forwardAvailable, &forwardButton, &QPushButton::setEnabled);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void CHelpViewer::FitToScreen()
{
    const QSize manualSize(640, 560);
    const QRect room = screen()->availableGeometry();
    // The window manager's frame is known once the window has been shown;
    // before, a title bar and a border of the style's sizes stand for it.
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull()) {
        const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame = QMargins(border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border);
    }
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    resize(manualSize.boundedTo(room.size() - frameSize));
    const QSize outer = size() + frameSize;
    move(room.topLeft() + QPoint((room.width() - outer.width()) / 2, (room.height() - outer.height()) / 2));
}

void CHelpViewer::ShowContents(const QStringList& folders)
{
    QString found;
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder), HelpFileName);
        if (file.isFile() && file.isReadable()) {
            found = file.absoluteFilePath();
            break;
        }
    }
    if (found.isEmpty()) {
        browser.clearHistory();
        QString html = tr("<h2>Help is not available</h2><p>The help file %1 could not be found. "
                          "It belongs beside the program; these folders were searched:</p><ul>")
                           .arg(HelpFileName);
        for (const QString& folder : folders)
            html += "<li>" + QDir::toNativeSeparators(folder).toHtmlEscaped() + "</li>";
        browser.setHtml(html + "</ul>");
        contentsButton.setEnabled(false);
    } else {
        browser.setSource(QUrl::fromLocalFile(found));
        contentsButton.setEnabled(true);
    }
    if (!isVisible())
        FitToScreen();
    show();
    raise();
    activateWindow();
}
