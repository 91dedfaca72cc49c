#pragma once

#include "res/strings/StringTable.h"

class QWidget;

// A box that asks for no icon of its own shows the warning icon.
enum class MessageIcon { Warning, Information };

// Shows `text` in a modal box with an OK button, captioned with the
// application title (the executable's name), and waits until it is closed.
// An informative text, plain or rich, stands below the message; the
// operator can select and copy it (a command to run).
void ShowMessageBox(QWidget* owner, const QString& text, MessageIcon icon = MessageIcon::Warning,
                    const QString& informativeText = {});

// Asks `text` in a modal box with Yes and No, No being the default (Enter)
// and Esc's answer; whether the answer was Yes.
bool AskYesNo(QWidget* owner, const QString& text);

// The same for a message of the string table.
void ShowMessage(QWidget* owner, StringId id, MessageIcon icon = MessageIcon::Warning,
                 const QString& informativeText = {});
