#include "widgets/IpAddressControl.h"

#include "res/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyleOptionFrame>

#include <algorithm>
#include <memory>

namespace {

constexpr int MaxOctet = 255;
constexpr int MaxDigits = 3;

const QRegularExpression& DottedQuad()
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})$"));
    return pattern;
}

const QRegularExpression& Digits()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+$"));
    return pattern;
}

} // namespace

CIpAddressControl::CIpAddressControl(QWidget* parent) : QFrame(parent)
{
    auto* layout = new QHBoxLayout(this);
    const int frameWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    layout->setContentsMargins(frameWidth, frameWidth, frameWidth, frameWidth);
    layout->setSpacing(0);

    auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (int i = 0; i < FieldCount; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setForegroundRole(QPalette::Text);
            dot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(MaxDigits);
        field->setValidator(validator); // digits only
        // The first field is the control's one tab stop; the others take the
        // focus by click or by the moves between fields.
        field->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        // The panel decides the height, however small the dialog makes it.
        field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        layout->addWidget(field, 1);
        fields[i] = field;
    }
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(fields.front());
    SetAccessibleLabel(QStringLiteral("IP Address"));
    SetAddress(0);
}

void CIpAddressControl::SetAddress(std::uint32_t address)
{
    for (int i = 0; i < FieldCount; ++i) {
        const int shift = 8 * (FieldCount - 1 - i);
        fields[i]->setText(QString::number((address >> shift) & 0xFF));
    }
}

std::uint32_t CIpAddressControl::GetAddress() const
{
    std::uint32_t address = 0;
    for (const QLineEdit* field : fields)
        address = (address << 8) | field->text().toUInt();
    return address;
}

void CIpAddressControl::SetAccessibleLabel(const QString& label)
{
    setAccessibleName(label);
    for (int i = 0; i < FieldCount; ++i)
        fields[i]->setAccessibleName(QStringLiteral("%1, octet %2 of %3").arg(label).arg(i + 1).arg(FieldCount));
}

QLineEdit* CIpAddressControl::Field(int index) const
{
    return fields.at(index);
}

QSize CIpAddressControl::sizeHint() const
{
    // Three digits per field plus the 2 pixels a line edit keeps clear on
    // each side of its text, a dot between fields, one line of text high:
    // a little less than the 82x11 dialog units the dialogs give it.
    const QFontMetrics metrics = fontMetrics();
    const int fieldWidth = metrics.horizontalAdvance(QStringLiteral("000")) + 4;
    const int dotWidth = metrics.horizontalAdvance(QLatin1Char('.'));
    const QMargins margins = layout()->contentsMargins();
    const int width = FieldCount * fieldWidth + (FieldCount - 1) * dotWidth + margins.left() + margins.right();
    const int height = metrics.height() + 2 + margins.top() + margins.bottom();
    return {width, height};
}

bool CIpAddressControl::focusNextPrevChild(bool next)
{
    // Shift+Tab from a later field would stop at the first one, so for the
    // moment it leaves, the first field is no tab stop either.
    if (next)
        return QFrame::focusNextPrevChild(true);
    fields.front()->setFocusPolicy(Qt::ClickFocus);
    const bool moved = QFrame::focusNextPrevChild(false);
    fields.front()->setFocusPolicy(Qt::StrongFocus);
    return moved;
}

bool CIpAddressControl::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = std::find(fields.begin(), fields.end(), watched);
    if (found == fields.end())
        return QFrame::eventFilter(watched, event);
    const int index = static_cast<int>(found - fields.begin());
    switch (event->type()) {
    case QEvent::KeyPress:
        return HandleKey(index, static_cast<const QKeyEvent&>(*event));
    case QEvent::ContextMenu:
        ShowContextMenu(index, static_cast<const QContextMenuEvent&>(*event));
        return true;
    case QEvent::FocusOut:
        if (advancedTo == index)
            advancedTo = -1;
        [[fallthrough]];
    case QEvent::FocusIn:
        update(); // the panel shows whether any field has the focus
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void CIpAddressControl::paintEvent(QPaintEvent*)
{
    // A line edit's panel behind the fields and dots makes them read as one box.
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (isAncestorOf(QApplication::focusWidget()))
        option.state |= QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

bool CIpAddressControl::HandleKey(int index, const QKeyEvent& event)
{
    const QLineEdit* field = fields[index];
    const bool last = index == FieldCount - 1;
    const bool justAdvanced = advancedTo == index;
    advancedTo = -1;
    if (event.matches(QKeySequence::Paste)) {
        Paste(index);
        return true;
    }
    if (event.text() == QLatin1String(".")) {
        // "192.168.1.50" typed in full must not skip a field after "192".
        if (!last && !justAdvanced)
            SelectField(index + 1);
        return true; // never typed into the field
    }
    // With Shift the arrows, Home and End select within the field as usual.
    if (event.modifiers() & ~Qt::KeypadModifier)
        return false;
    const bool nothingSelected = !field->hasSelectedText();
    const bool atStart = nothingSelected && field->cursorPosition() == 0;
    const bool atEnd = nothingSelected && field->cursorPosition() == field->text().size();
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Left:
        if (!atStart || index == 0)
            return false;
        MoveTo(index - 1, fields[index - 1]->text().size());
        return true;
    case Qt::Key_Right:
        if (!atEnd || last)
            return false;
        MoveTo(index + 1, 0);
        return true;
    case Qt::Key_Home:
        MoveTo(0, 0);
        return true;
    case Qt::Key_End:
        MoveTo(FieldCount - 1, fields.back()->text().size());
        return true;
    default:
        return false;
    }
}

void CIpAddressControl::OnFieldEdited(int index)
{
    if (const int tooLarge = ClampField(index))
        ShowClampNotice(tooLarge);
    const QLineEdit* field = fields[index];
    // A third digit completes the octet, so typing goes on in the next field.
    if (index < FieldCount - 1 && field->text().size() == MaxDigits && field->cursorPosition() == MaxDigits) {
        SelectField(index + 1);
        advancedTo = index + 1;
    }
}

int CIpAddressControl::ClampField(int index)
{
    const int value = fields[index]->text().toInt();
    if (value <= MaxOctet)
        return 0;
    fields[index]->setText(QString::number(MaxOctet));
    return value;
}

void CIpAddressControl::ShowClampNotice(int value)
{
    ShowMessageBox(this,
                   QStringLiteral("%1 is more than an address field can hold; it has been set to %2.")
                       .arg(value)
                       .arg(MaxOctet),
                   MessageIcon::Warning);
}

void CIpAddressControl::Paste(int index)
{
    const QString text = QApplication::clipboard()->text().trimmed();
    if (const QRegularExpressionMatch quad = DottedQuad().match(text); quad.hasMatch()) {
        for (int i = 0; i < FieldCount; ++i)
            fields[i]->setText(quad.captured(i + 1));
        // One paste, one notice, however many numbers were too large: it
        // names the first.
        int firstTooLarge = 0;
        for (int i = 0; i < FieldCount; ++i) {
            const int tooLarge = ClampField(i);
            if (firstTooLarge == 0)
                firstTooLarge = tooLarge;
        }
        MoveTo(FieldCount - 1, fields.back()->text().size());
        if (firstTooLarge != 0)
            ShowClampNotice(firstTooLarge);
        return;
    }
    // Plain digits go in as if typed, as long as the field has room for them.
    QLineEdit* field = fields[index];
    const qsizetype kept = field->text().size() - field->selectedText().size();
    if (Digits().match(text).hasMatch() && kept + text.size() <= MaxDigits) {
        field->insert(text);
        return;
    }
    QApplication::beep();
}

void CIpAddressControl::ShowContextMenu(int index, const QContextMenuEvent& event)
{
    // The standard menu's Paste would put the clipboard into this one field
    // only, so it is rerouted to the paste that can fill all four. Its text,
    // translated as Qt translates it, is what tells it apart.
    const std::unique_ptr<QMenu> menu(fields[index]->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this, index] { Paste(index); });
        }
    }
    menu->exec(event.globalPos());
}

void CIpAddressControl::MoveTo(int index, int cursorPosition)
{
    fields[index]->setFocus(Qt::OtherFocusReason);
    fields[index]->setCursorPosition(cursorPosition);
}

void CIpAddressControl::SelectField(int index)
{
    fields[index]->setFocus(Qt::OtherFocusReason);
    fields[index]->selectAll();
}
