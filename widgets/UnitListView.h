#pragma once

#include <QTreeView>

class CUnitList;

// The unit list as a report: a line a unit under five column captions; a
// click selects the whole row, one row at most; nothing is edited in place
// and nothing sorts. The columns keep their order; their widths follow the
// font, also when it changes or the window moves to a screen of other
// pixels, and always show their longest texts whole. The selected unit
// stays as clearly marked when the focus moves on, to PING Selected say.
class CUnitListView : public QTreeView {
    Q_OBJECT

public:
    explicit CUnitListView(CUnitList& units, QWidget* parent = nullptr);

signals:
    // A left-button double-click anywhere in the list. Below the rows the
    // press before it has left no row selected.
    void DoubleClicked();

protected:
    void initViewItemOption(QStyleOptionViewItem* option) const override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FitColumnsToFont();
    void DrawFrameOnWholePixels();
};
