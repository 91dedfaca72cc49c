#include "res/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget* owner, const QString& text, MessageIcon icon, const QString& informativeText)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    if (!informativeText.isEmpty()) {
        box.setInformativeText(informativeText);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    box.exec();
}

bool AskYesNo(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ShowMessage(QWidget* owner, StringId id, MessageIcon icon, const QString& informativeText)
{
    ShowMessageBox(owner, StringFromTable(id), icon, informativeText);
}
