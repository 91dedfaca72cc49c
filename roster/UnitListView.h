#pragma once

#include <QTreeView>

class CUnitList;

// The unit list as a report: a line a unit under five column captions; a
// click selects the whole row, one row at most; nothing is edited in place
// and nothing sorts.
class CUnitListView : public QTreeView {
    Q_OBJECT

public:
    explicit CUnitListView(CUnitList& units, QWidget* parent = nullptr);

signals:
    // A double-click anywhere in the list, on a row or on the empty area below.
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
