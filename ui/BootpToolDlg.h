#pragma once

#include "listener/BootpSocket.h"
#include "res/MainMenuTemplate.h"
#include "res/MessageBox.h"
#include "roster/UnitList.h"
#include "widgets/UnitListView.h"
#include "ui/ToolTipCtrl.h"

#include <QDialog>
#include <QIcon>
#include <QMenuBar>
#include <QPushButton>

#include <memory>

class CHelpViewer;

// The main window: the units heard, the buttons and the menu, and the
// handlers of the operator's commands. Its modal loop is the program's.
class CBootpToolDlg : public QDialog, public BootRequestReceiver {
    Q_OBJECT

public:
    explicit CBootpToolDlg(QWidget* parent = nullptr);
    ~CBootpToolDlg() override;

    // Runs the window until one of its exit routes ends it.
    int DoModal();

    // From the listener, for every request of one of our units.
    void OnBootRequest(const BootRequest& request, const NetworkInterface& arrival) override;

    void OnListen();
    void OnClearList();
    void OnUnitListDblClk();
    void OnSetIpAddress();
    void AssignAddress();
    void OnPingSelected();
    void OnPrintList();
    void OnToggleToolTips();
    void OnAboutBox();
    void OnHelpContents();
    // The one exit routine: closes the listener, then ends the window.
    void OnOK();

    // The cancel command (Escape) clears the list; it never closes the window.
    void reject() override;
    void setVisible(bool visible) override;

    bool IsListening() const { return listenSocket != nullptr; }
    CUnitList& Units() { return unitList; }
    CUnitListView& UnitListView() { return unitListView; }
    const QMenuBar& MenuBar() const { return menuBar; }

protected:
    // The listener Listen creates; not yet bound.
    virtual std::unique_ptr<BootListener> NewListenSocket();
    // The tips of the window's controls; null where they cannot be had.
    virtual std::unique_ptr<CToolTipCtrl> NewToolTipCtrl();

    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Runs once, when the window is first shown, so that the virtual
    // parts above are those of the final class.
    void OnInitDialog();
    void OnCommand(CommandId command);
    void SetListeningState(bool listening);
    // The selected row; or, after a box with `icon` says why there is none,
    // NoRow.
    int SelectedRowOrExplain(MessageIcon icon);
    // The enabled button whose mnemonic this key is, or null.
    QPushButton* ButtonWithMnemonic(const QKeyEvent& key);

    bool initialised = false;
    QMenuBar menuBar;
    QWidget client;
    // In template order; the tab order is set apart.
    QPushButton exitButton;
    CUnitList unitList;
    CUnitListView unitListView;
    QPushButton listenButton;
    QPushButton clearButton;
    QPushButton pingButton;
    QPushButton printButton;
    std::unique_ptr<CToolTipCtrl> toolTip;
    bool toolTipsEnabled = false;
    QIcon appIcon;
    std::unique_ptr<CHelpViewer> helpViewer;
    // Declared last, so it goes first: it calls back into this window.
    std::unique_ptr<BootListener> listenSocket;
};
