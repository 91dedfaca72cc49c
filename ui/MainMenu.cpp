#include "ui/MainMenu.h"

#include <QMenu>

void BuildMenuBar(QMenuBar& menuBar, std::span<const Menu> menus, const std::function<void(CommandId)>& onCommand)
{
    for (const Menu& menu : menus) {
        QMenu* popup = menuBar.addMenu(QString::fromUtf8(menu.caption));
        for (const MenuItem& item : menu.items) {
            if (!item.caption) {
                popup->addSeparator();
                continue;
            }
            QAction* action = popup->addAction(QString::fromUtf8(item.caption));
            action->setData(static_cast<int>(item.command));
            action->setCheckable(item.checkMark);
            action->setChecked(item.checkMark);
            const CommandId command = item.command;
            QObject::connect(action, &QAction::triggered, popup, [onCommand, command] { onCommand(command); });
        }
    }
}

QAction* MenuCommand(const QMenuBar& menuBar, CommandId command)
{
    for (QAction* action : menuBar.findChildren<QAction*>()) {
        if (action->data() == static_cast<int>(command))
            return action;
    }
    return nullptr;
}
