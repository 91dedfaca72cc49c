#pragma once

#include <QFrame>
#include <QLabel>
#include <QTimer>

#include <chrono>

// A short notice just below a field, in the tooltip's colours. It never takes
// the focus, the keys or the mouse, so typing goes on in the field while it
// shows. It hides itself after ShowTime; its owner hides it sooner, at the
// next key or when the focus leaves. It has no parent: a window inside another one would join that
// window's tab order.
class CNoticeBalloon : public QFrame {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds ShowTime{6};

    CNoticeBalloon();

    // Shows `text` below `anchor`, in place of whatever it showed before.
    void ShowBelow(const QWidget* anchor, const QString& text);
    QString Text() const { return message.text(); }

private:
    QLabel icon;
    QLabel message;
    QTimer hideTimer;
};
