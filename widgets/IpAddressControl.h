#pragma once

#include <QFrame>

#include <array>
#include <cstdint>

class QContextMenuEvent;
class QKeyEvent;
class QLineEdit;

// An IPv4 address entry: four number fields between dots, one tab stop.
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

    QSize sizeHint() const override;

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool HandleKey(int index, const QKeyEvent& event);
    void OnFieldEdited(int index);
    // Sets a number above 255 to 255; the number it held, else 0.
    int ClampField(int index);
    void ShowClampNotice(int value);
    void Paste(int index);
    void ShowContextMenu(int index, const QContextMenuEvent& event);
    void MoveTo(int index, int cursorPosition);
    void SelectField(int index);

    std::array<QLineEdit*, FieldCount> fields{};
    // The field a third digit has just moved the typing to, until the next
    // key: a dot typed there belongs to the octet before and moves no further.
    int advancedTo = -1;
};
