#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// The About box: the icon, the product line and the version line.
class CAboutToolDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutToolDlg(QWidget* parent = nullptr);

    int DoModal();

    QString productText;
    QString versionText;

private:
    void OnInitDialog();
    void DoDataExchange();

    QLabel iconLabel;
    QLabel productLabel;
    QLabel versionLabel;
    QPushButton okButton;
};
