#include "ui/AboutToolDlg.h"

#include "res/AboutTemplate.h"
#include "res/AppIcon.h"
#include "res/strings/StringTable.h"

CAboutToolDlg::CAboutToolDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      iconLabel(this),
      productLabel(this),
      versionLabel(this),
      okButton(tr("OK"), this)
{
    using namespace about_template;
    setWindowTitle(tr("About TarvikBootP Tool"));
    const DialogUnits units(font());
    setFixedSize(units.SizeToPixels(Client));
    // The icon is shown at its own size, from the template's corner, drawn
    // for the screen's pixels.
    const QSize iconSize(32, 32);
    iconLabel.setPixmap(AppIcon().pixmap(iconSize, devicePixelRatioF()));
    iconLabel.setGeometry(QRect(units.ToPixels(Icon).topLeft(), iconSize));
    units.Place({{&productLabel, ProductText}, {&versionLabel, VersionText}, {&okButton, OkButton}});
    // The texts are shown as they are: an ampersand is no mnemonic here.
    productLabel.setTextFormat(Qt::PlainText);
    versionLabel.setTextFormat(Qt::PlainText);
    okButton.setDefault(true);
    connect(&okButton, &QPushButton::clicked, this, &CAboutToolDlg::accept);
}

int CAboutToolDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CAboutToolDlg::OnInitDialog()
{
    productText = StringFromTable(StringId::ProductName);
    versionText = StringFromTable(StringId::Version);
    DoDataExchange();
    okButton.setFocus();
}

void CAboutToolDlg::DoDataExchange()
{
    productLabel.setText(productText);
    versionLabel.setText(versionText);
}
