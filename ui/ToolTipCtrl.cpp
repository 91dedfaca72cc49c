#include "ui/ToolTipCtrl.h"

void CToolTipCtrl::AddTool(QWidget* control, StringId text)
{
    tools.push_back({control, StringFromTable(text)});
    Apply(control, tools.back().text);
}

void CToolTipCtrl::Activate(bool activate)
{
    active = activate;
    for (const Tool& tool : tools)
        Apply(tool.control, tool.text);
}

void CToolTipCtrl::Apply(QWidget* control, const QString& text) const
{
    // A control without a tip of its own shows none.
    if (control)
        control->setToolTip(active ? text : QString());
}
