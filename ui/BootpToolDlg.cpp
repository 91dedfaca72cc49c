#include "ui/BootpToolDlg.h"

#include "res/AppIcon.h"
#include "res/MainWindowTemplate.h"
#include "widgets/AddressAssignment.h"
#include "roster/UnitAnswers.h"
#include "roster/UnitRow.h"
#include "tools/Ping.h"
#include "tools/ReportPrinter.h"
#include "ui/AboutToolDlg.h"
#include "ui/HelpViewer.h"
#include "ui/ListenFailure.h"
#include "ui/MainMenu.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>


CBootpToolDlg::CBootpToolDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      client(this),
      exitButton(tr("E&xit"), &client),
      unitListView(unitList, &client),
      listenButton(tr("&Listen"), &client),
      clearButton(tr("&Clear"), &client),
      pingButton(tr("PING &Selected"), &client),
      printButton(tr("&Print"), &client),
      appIcon(AppIcon())
{
    using namespace main_window_template;
    setWindowTitle(tr("Tarvik BootP Tool"));

    // The menu sits above the client area, which keeps the template's size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(&menuBar);
    layout->addWidget(&client);
    BuildMenuBar(menuBar, main_menu_template::Menus, [this](CommandId command) { OnCommand(command); });

    const DialogUnits units(font());
    client.setFixedSize(units.SizeToPixels(Client));
    units.Place({{&exitButton, ExitButton},
                 {&unitListView, UnitList},
                 {&listenButton, ListenButton},
                 {&clearButton, ClearButton},
                 {&pingButton, PingButton},
                 {&printButton, PrintButton}});

    // A screen reader names the list as its printout is named, and tells
    // what its tip tells, whether the tips show or not.
    unitListView.setAccessibleName(QString::fromLatin1(UnitListName));
    unitListView.setAccessibleDescription(StringFromTable(StringId::ToolTipUnitList));

    // Exit and Clear are no tab stops; the others tab in template order.
    exitButton.setFocusPolicy(Qt::ClickFocus);
    clearButton.setFocusPolicy(Qt::ClickFocus);
    setTabOrder(&unitListView, &listenButton);
    setTabOrder(&listenButton, &pingButton);
    setTabOrder(&pingButton, &printButton);
    // Enter clicks the focused button, else PING Selected while it is enabled.
    pingButton.setDefault(true);

    connect(&unitListView, &CUnitListView::DoubleClicked, this, &CBootpToolDlg::OnUnitListDblClk);
    connect(&exitButton, &QPushButton::clicked, this, &CBootpToolDlg::OnOK);
    connect(&listenButton, &QPushButton::clicked, this, &CBootpToolDlg::OnListen);
    connect(&clearButton, &QPushButton::clicked, this, &CBootpToolDlg::OnClearList);
    connect(&pingButton, &QPushButton::clicked, this, &CBootpToolDlg::OnPingSelected);
    connect(&printButton, &QPushButton::clicked, this, &CBootpToolDlg::OnPrintList);
}

CBootpToolDlg::~CBootpToolDlg() = default;

int CBootpToolDlg::DoModal()
{
    // Window-modal without a parent blocks no other window, so the help
    // window stays usable beside it.
    setWindowModality(Qt::WindowModal);
    return exec();
}

void CBootpToolDlg::setVisible(bool visible)
{
    if (visible && !initialised) {
        initialised = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CBootpToolDlg::OnInitDialog()
{
    setWindowIcon(appIcon);

    // Without tips the window works all the same; the menu item then shows
    // them off.
    toolTip = NewToolTipCtrl();
    if (toolTip) {
        toolTip->AddTool(&unitListView, StringId::ToolTipUnitList);
        toolTip->AddTool(&listenButton, StringId::ToolTipListen);
        toolTip->AddTool(&clearButton, StringId::ToolTipClear);
        toolTip->AddTool(&printButton, StringId::ToolTipPrint);
        toolTip->AddTool(&pingButton, StringId::ToolTipPing);
        toolTip->AddTool(&exitButton, StringId::ToolTipExit);
        toolTipsEnabled = true;
        toolTip->Activate(true);
    }
    MenuCommand(menuBar, CommandId::ToggleToolTips)->setChecked(toolTipsEnabled);

    SetListeningState(false);
    unitListView.setFocus();
}

void CBootpToolDlg::OnCommand(CommandId command)
{
    static constexpr std::pair<CommandId, void (CBootpToolDlg::*)()> Handlers[] = {
        {CommandId::ClearList, &CBootpToolDlg::OnClearList},
        {CommandId::ToggleToolTips, &CBootpToolDlg::OnToggleToolTips},
        {CommandId::SetIpAddress, &CBootpToolDlg::OnSetIpAddress},
        {CommandId::Listen, &CBootpToolDlg::OnListen},
        {CommandId::HelpContents, &CBootpToolDlg::OnHelpContents},
        {CommandId::About, &CBootpToolDlg::OnAboutBox},
        {CommandId::PrintList, &CBootpToolDlg::OnPrintList},
    };
    if (command == CommandId::AppExit) {
        // As a close request of the window, which ends in the exit routine.
        close();
        return;
    }
    for (const auto& [handled, handler] : Handlers) {
        if (handled == command)
            (this->*handler)();
    }
}

void CBootpToolDlg::SetListeningState(bool listening)
{
    listenButton.setEnabled(!listening);
    clearButton.setEnabled(listening);
    printButton.setEnabled(listening);
    pingButton.setEnabled(listening);
}

std::unique_ptr<BootListener> CBootpToolDlg::NewListenSocket()
{
    return std::make_unique<CBootpSocket>(*this);
}

std::unique_ptr<CToolTipCtrl> CBootpToolDlg::NewToolTipCtrl()
{
    return std::make_unique<CToolTipCtrl>();
}

void CBootpToolDlg::OnBootRequest(const BootRequest& request, const NetworkInterface& arrival)
{
    TakeUnitRequest(unitList, request, arrival, listenSocket.get());
}

void CBootpToolDlg::OnListen()
{
    if (listenSocket) {
        ShowMessage(this, StringId::AlreadyListening);
        return;
    }
    std::unique_ptr<BootListener> socket = NewListenSocket();
    if (!socket->Create()) {
        // The reason in the system's words, for a terminal or the desktop's
        // log; the box says what to do about it.
        WriteListenFailure(socket->FailureReason());
        ShowMessage(this, StringId::CannotListen, MessageIcon::Warning,
                    ListenFailureAdvice(socket->FailureKind(), socket->FailureReason()));
        return;
    }
    listenSocket = std::move(socket);
    SetListeningState(true);
}

void CBootpToolDlg::OnClearList()
{
    unitList.OnClearList();
}

void CBootpToolDlg::OnUnitListDblClk()
{
    AssignAddress();
}

int CBootpToolDlg::SelectedRowOrExplain(MessageIcon icon)
{
    if (unitList.RowCount() <= 0) {
        ShowMessage(this, StringId::ListIsEmpty, icon);
        return CUnitList::NoRow;
    }
    const int row = unitList.FindSelectedRow();
    if (row == CUnitList::NoRow)
        ShowMessage(this, StringId::NoItemSelected, icon);
    return row;
}

void CBootpToolDlg::OnSetIpAddress()
{
    if (SelectedRowOrExplain(MessageIcon::Information) != CUnitList::NoRow)
        AssignAddress();
}

void CBootpToolDlg::AssignAddress()
{
    AssignAddressToSelectedUnit(this, unitList, listenSocket.get());
}

void CBootpToolDlg::OnPingSelected()
{
    const int row = SelectedRowOrExplain(MessageIcon::Warning);
    if (row == CUnitList::NoRow)
        return;
    const QString address = unitList.Text(row, IpAddressColumn);
    // A unit is listed without an address until it is given one.
    if (address == RowText::NoAddress || address.isEmpty()) {
        ShowMessage(this, StringId::NoAddressToPing);
        return;
    }
    PingAddress(this, address);
}

void CBootpToolDlg::OnPrintList()
{
    PrintUnitList(this, unitList);
}

void CBootpToolDlg::OnToggleToolTips()
{
    if (toolTip) {
        toolTipsEnabled = !toolTipsEnabled;
        toolTip->Activate(toolTipsEnabled);
    }
    MenuCommand(menuBar, CommandId::ToggleToolTips)->setChecked(toolTipsEnabled);
}

void CBootpToolDlg::OnAboutBox()
{
    CAboutToolDlg about(this);
    about.DoModal();
}

void CBootpToolDlg::OnHelpContents()
{
    if (!helpViewer) {
        helpViewer = std::make_unique<CHelpViewer>();
        helpViewer->setScreen(screen());
    }
    helpViewer->ShowContents(HelpFolders());
}

void CBootpToolDlg::OnOK()
{
    if (listenSocket) {
        listenSocket->Close();
        listenSocket.reset();
    }
    QDialog::accept();
}

void CBootpToolDlg::reject()
{
    OnClearList();
}

void CBootpToolDlg::closeEvent(QCloseEvent* event)
{
    // The close box, Alt+F4 and File > Exit.
    OnOK();
    event->accept();
}

bool CBootpToolDlg::event(QEvent* event)
{
    // As in any dialog, a button's mnemonic comes before the menu's: Alt+C
    // clicks Clear while it is enabled and opens the Actions menu otherwise.
    // Taking the key here keeps it from the menu bar's shortcuts.
    if (event->type() == QEvent::ShortcutOverride && ButtonWithMnemonic(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

void CBootpToolDlg::keyPressEvent(QKeyEvent* event)
{
    if (QPushButton* button = ButtonWithMnemonic(*event)) {
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QPushButton* CBootpToolDlg::ButtonWithMnemonic(const QKeyEvent& key)
{
    if (key.modifiers() != Qt::AltModifier)
        return nullptr;
    const QKeySequence pressed(key.keyCombination());
    for (QPushButton* button : {&exitButton, &listenButton, &clearButton, &pingButton, &printButton}) {
        if (button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed)
            return button;
    }
    return nullptr;
}
