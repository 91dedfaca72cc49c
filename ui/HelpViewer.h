#pragma once

#include <QPushButton>
#include <QStringList>
#include <QTextBrowser>
#include <QWidget>

// The name of the tool's help file, looked for in the folders below.
inline constexpr char HelpFileName[] = "Vuravevo.html";

// Where the help is looked for, in order: beside the program, then where an
// installation puts it: the data folder, or a macOS bundle's resources.
QStringList HelpFolders();

// The tool's help window, a window of its own beside the main window: the
// manual with Contents, Back and Forward. Where the manual is missing, the
// window itself says so and where it looked. It opens within the free area
// of its screen, and Esc closes it.
class CHelpViewer : public QWidget {
    Q_OBJECT

public:
    CHelpViewer();

    // Shows the manual at its contents, from the first folder that holds it.
    void ShowContents(const QStringList& folders);

    const QTextBrowser& Browser() const { return browser; }

private:
    // The manual's own size where the screen has room for it; smaller, and
    // inside the area the screen's panels leave free, where it has not.
    void FitToScreen();

    QPushButton contentsButton;
    QPushButton backButton;
    QPushButton forwardButton;
    QTextBrowser browser;
};
