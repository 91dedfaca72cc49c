#pragma once

#include "widgets/NoticeBalloon.h"

#include <QFrame>

#include <array>
#include <cstdint>

class QContextMenuEvent;
class QDropEvent;
class QKeyEvent;
class QLineEdit;
class QMouseEvent;

// An IPv4 address entry: four number fields between dots, one tab stop.
// Whatever puts text into it (typing, pasting from either clipboard,
// dropping) goes through one check: a whole address fills the four fields,
// digits go into their field as if typed, and anything else is refused with
// a notice that names it, leaving the fields as they were.
class CIpAddressControl : public QFrame {
    Q_OBJECT

public:
    static constexpr int FieldCount = 4;

    explicit CIpAddressControl(QWidget* parent = nullptr);

    // The address value, first octet in the most significant byte.
    void SetAddress(std::uint32_t address);
    // A blank field reads as 0.
    std::uint32_t GetAddress() const;

    // Names the control for assistive tools; each field is named after it
    // with its position, e.g. "Gateway, octet 2 of 4".
    void SetAccessibleLabel(const QString& label);

    // The field of one octet, 0 being the most significant.
    QLineEdit* Field(int index) const;

    // Puts the focus in the first field with its number selected, so that
    // typing an address replaces the one shown.
    void SelectAddress();

    // What the notice beside the fields says while it shows, else empty.
    QString NoticeShown() const;

    QSize sizeHint() const override;

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool HandleKey(int index, const QKeyEvent& event);
    bool HandleMouseRelease(int index, const QMouseEvent& event);
    bool HandleDrop(int index, QDropEvent& event);
    // The one way in for text at field `index`; whether it was taken.
    bool Enter(int index, const QString& text);
    void OnFieldEdited(int index);
    // Sets a number above 255 to 255; the number it held, else 0.
    int ClampField(int index);
    void ShowClampNotice(int index, int value);
    void ShowRefusal(int index, const QString& text);
    void ShowContextMenu(int index, const QContextMenuEvent& event);
    void MoveTo(int index, int cursorPosition);
    void SelectField(int index);

    std::array<QLineEdit*, FieldCount> fields{};
    CNoticeBalloon notice;
    // The field a third digit has just moved the typing to, until the next
    // key: a dot typed there belongs to the octet before and moves no further.
    int advancedTo = -1;
};
