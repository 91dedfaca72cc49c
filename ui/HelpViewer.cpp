#include "ui/HelpViewer.h"

#include "res/AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

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
    resize(640, 560);
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
    show();
    raise();
    activateWindow();
}
