#include "res/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

void ShowMessageBox(QWidget* owner, const QString& text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
                    QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    box.exec();
}

void ShowMessage(QWidget* owner, StringId id, MessageIcon icon)
{
    ShowMessageBox(owner, StringFromTable(id), icon);
}
