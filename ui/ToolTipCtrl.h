#pragma once

#include "res/strings/StringTable.h"

#include <QPointer>
#include <QWidget>

#include <vector>

// Tips for a window's controls that are switched off and on together.
class CToolTipCtrl {
public:
    void AddTool(QWidget* control, StringId text);
    void Activate(bool active);

private:
    void Apply(QWidget* control, const QString& text) const;

    struct Tool {
        QPointer<QWidget> control;
        QString text;
    };
    std::vector<Tool> tools;
    bool active = false;
};
