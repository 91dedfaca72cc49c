#pragma once

#include "res/strings/StringTable.h"

class QWidget;

// A box that asks for no icon of its own shows the warning icon.
enum class MessageIcon { Warning, Information };

// Shows `text` in a modal box with an OK button, captioned with the
// application title (the executable's name), and waits until it is closed.
void ShowMessageBox(QWidget* owner, const QString& text, MessageIcon icon = MessageIcon::Warning);

// The same for a message of the string table.
void ShowMessage(QWidget* owner, StringId id, MessageIcon icon = MessageIcon::Warning);
