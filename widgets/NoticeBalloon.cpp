#include "widgets/NoticeBalloon.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QScreen>
#include <QStyle>

#include <algorithm>

CNoticeBalloon::CNoticeBalloon()
    : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                         Qt::WindowTransparentForInput),
      icon(this),
      message(this)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);

    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    icon.setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
    icon.setAlignment(Qt::AlignTop);
    // Whatever was pasted is shown as it is, never read as markup.
    message.setTextFormat(Qt::PlainText);
    message.setWordWrap(true);
    message.setMaximumWidth(fontMetrics().averageCharWidth() * 40);
    message.setForegroundRole(QPalette::ToolTipText);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(&icon);
    layout->addWidget(&message, 1);

    hideTimer.setSingleShot(true);
    hideTimer.setInterval(ShowTime);
    connect(&hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void CNoticeBalloon::ShowBelow(const QWidget* anchor, const QString& text)
{
    message.setText(text);
    setAccessibleName(text);
    adjustSize();
    QPoint topLeft = anchor->mapToGlobal(QPoint(0, anchor->height() + 2));
    if (const QScreen* screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() - width())));
    }
    move(topLeft);
    show();
    raise();
    hideTimer.start();
    // Screen readers announce it as they would a message box.
    QAccessibleEvent shown(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&shown);
}
