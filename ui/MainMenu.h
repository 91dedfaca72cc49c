#pragma once

#include "res/MainMenuTemplate.h"

#include <QAction>
#include <QMenuBar>

#include <functional>

// Fills the menu bar from its template. Every item reports its command to
// `onCommand`, whatever state the window's buttons are in.
void BuildMenuBar(QMenuBar& menuBar, std::span<const Menu> menus, const std::function<void(CommandId)>& onCommand);

// The menu item of a command, or null.
QAction* MenuCommand(const QMenuBar& menuBar, CommandId command);
