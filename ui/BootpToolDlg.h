#pragma once

#include "BootpSocket.h"
#include "UnitList.h"
#include "UnitListView.h"

#include <QDialog>

#include <memory>

// The main window: the units heard, and the handlers of the operator's commands.
class CBootpToolDlg : public QDialog, public BootRequestReceiver {
    Q_OBJECT

public:
    explicit CBootpToolDlg(QWidget* parent = nullptr);

    // From the listener, for every request of one of our units.
    void OnBootRequest(std::span<const std::uint8_t> buffer, unsigned arrivalInterface) override;

    // Takes over a bound listener: from now on replies go out through it.
    void AdoptListener(std::unique_ptr<CBootpSocket> socket);

    void OnClearList();
    void OnUnitListDblClk();
    void OnSetIpAddress();
    void AssignAddress();

    CUnitList& Units() { return unitList; }
    CUnitListView& UnitListView() { return unitListView; }

private:
    CUnitList unitList;
    CUnitListView unitListView;
    // Declared last, so it goes first: it calls back into this window.
    std::unique_ptr<CBootpSocket> listenSocket;
};
