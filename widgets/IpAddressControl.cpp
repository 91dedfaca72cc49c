#include "widgets/IpAddressControl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyleOptionFrame>

#include <algorithm>
#include <memory>

namespace {

constexpr int MaxOctet = 255;
constexpr int MaxDigits = 3;
// How much of refused text a notice quotes.
constexpr int QuotedLength = 24;

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

// Refused text as a notice quotes it: on one line, and cut short.
QString Quoted(const QString& text)
{
    // A line copied from an editor often brings its line end along.
    QString line = text.trimmed();
    for (QChar& c : line) {
        if (!c.isPrint() && !c.isSurrogate())
            c = QLatin1Char(' ');
    }
    if (line.size() > QuotedLength) {
        const qsizetype cut = line.at(QuotedLength - 2).isHighSurrogate() ? QuotedLength - 2 : QuotedLength - 1;
        line = line.left(cut) + QChar(0x2026);
    }
    return QStringLiteral("\u201C%1\u201D").arg(line);
}

// Screen readers meet the control as one group named by its label, with the
// four octet fields as its parts.
QAccessibleInterface* AccessibleAddressControl(const QString& className, QObject* object)
{
    if (className == QLatin1String("CIpAddressControl") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

} // namespace

CIpAddressControl::CIpAddressControl(QWidget* parent) : QFrame(parent)
{
    auto* layout = new QHBoxLayout(this);
    const int frameWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    layout->setContentsMargins(frameWidth, frameWidth, frameWidth, frameWidth);
    // The dots are painted between the fields, so they are no widgets a
    // screen reader would read out.
    layout->setSpacing(fontMetrics().horizontalAdvance(QLatin1Char('.')));
    static const bool accessibleAsGroup = (QAccessible::installFactory(AccessibleAddressControl), true);
    Q_UNUSED(accessibleAsGroup);

    auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (int i = 0; i < FieldCount; ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(MaxDigits);
        field->setValidator(validator); // digits only
        // Keys arrive as keys, so an input method's full-width digits never
        // reach a field.
        field->setAttribute(Qt::WA_InputMethodEnabled, false);
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

void CIpAddressControl::SelectAddress()
{
    SelectField(0);
}

QString CIpAddressControl::NoticeShown() const
{
    return notice.isVisible() ? notice.Text() : QString();
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
        notice.hide();
        return HandleKey(index, static_cast<const QKeyEvent&>(*event));
    case QEvent::MouseButtonRelease:
        return HandleMouseRelease(index, static_cast<const QMouseEvent&>(*event));
    case QEvent::Drop:
        return HandleDrop(index, static_cast<QDropEvent&>(*event));
    case QEvent::ContextMenu:
        ShowContextMenu(index, static_cast<const QContextMenuEvent&>(*event));
        return true;
    case QEvent::FocusOut:
        if (advancedTo == index)
            advancedTo = -1;
        // A click elsewhere or a box that opens leaves the notice behind.
        if (!isAncestorOf(QApplication::focusWidget()))
            notice.hide();
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

    painter.setPen(palette().color(QPalette::Text));
    for (int i = 1; i < FieldCount; ++i) {
        const QRect before = fields[i - 1]->geometry();
        const QRect gap(before.right() + 1, before.top(), fields[i]->x() - before.right() - 1, before.height());
        painter.drawText(gap, Qt::AlignCenter, QStringLiteral("."));
    }
}

void CIpAddressControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        layout()->setSpacing(fontMetrics().horizontalAdvance(QLatin1Char('.')));
    QFrame::changeEvent(event);
}

void CIpAddressControl::hideEvent(QHideEvent* event)
{
    notice.hide();
    QFrame::hideEvent(event);
}

bool CIpAddressControl::HandleKey(int index, const QKeyEvent& event)
{
    const QLineEdit* field = fields[index];
    const bool last = index == FieldCount - 1;
    const bool justAdvanced = advancedTo == index;
    advancedTo = -1;
    if (event.matches(QKeySequence::Paste)) {
        Enter(index, QGuiApplication::clipboard()->text());
        return true;
    }
    if (event.text() == QLatin1String(".")) {
        // "192.168.1.50" typed in full must not skip a field after "192".
        if (!last && !justAdvanced)
            SelectField(index + 1);
        return true; // never typed into the field
    }
    // Characters typed, with Shift too (some keyboards need it for digits),
    // but not shortcuts.
    const bool typed = !event.text().isEmpty() && event.text().front().isPrint() &&
                       !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typed) {
        Enter(index, event.text());
        return true;
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

bool CIpAddressControl::HandleMouseRelease(int index, const QMouseEvent& event)
{
    // X11's primary selection: the field itself would take it, cut to three
    // characters, without a word.
    if (event.button() != Qt::MiddleButton)
        return false;
    if (QGuiApplication::clipboard()->supportsSelection()) {
        fields[index]->deselect();
        Enter(index, QGuiApplication::clipboard()->text(QClipboard::Selection));
    }
    return true;
}

bool CIpAddressControl::HandleDrop(int index, QDropEvent& event)
{
    // Digits go in where they were dropped. A copy, so that a field they were
    // dragged from keeps them.
    QLineEdit* field = fields[index];
    field->setFocus(Qt::MouseFocusReason);
    field->setCursorPosition(field->cursorPositionAt(event.position().toPoint()));
    if (Enter(index, event.mimeData()->text())) {
        event.setDropAction(Qt::CopyAction);
        event.accept();
    } else {
        event.ignore();
    }
    return true;
}

bool CIpAddressControl::Enter(int index, const QString& text)
{
    notice.hide(); // whatever it said is about what came before
    if (text.isEmpty())
        return false; // an empty clipboard: nothing to enter, nothing to say
    const QString entered = text.trimmed();
    if (const QRegularExpressionMatch quad = DottedQuad().match(entered); quad.hasMatch()) {
        for (int i = 0; i < FieldCount; ++i)
            fields[i]->setText(QString::number(quad.captured(i + 1).toInt()));
        // One notice, however many numbers were too large: it names the first.
        int firstTooLarge = 0;
        for (int i = 0; i < FieldCount; ++i) {
            const int tooLarge = ClampField(i);
            if (firstTooLarge == 0)
                firstTooLarge = tooLarge;
        }
        MoveTo(FieldCount - 1, fields.back()->text().size());
        if (firstTooLarge != 0)
            ShowClampNotice(index, firstTooLarge);
        return true;
    }
    // Digits go in as typed, as long as the field has room for them; the
    // field then clamps them and moves on as it does for typing.
    QLineEdit* field = fields[index];
    const qsizetype kept = field->text().size() - field->selectedText().size();
    if (Digits().match(entered).hasMatch() && kept + entered.size() <= MaxDigits) {
        field->insert(entered);
        return true;
    }
    ShowRefusal(index, text);
    return false;
}

void CIpAddressControl::OnFieldEdited(int index)
{
    if (const int tooLarge = ClampField(index))
        ShowClampNotice(index, tooLarge);
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

void CIpAddressControl::ShowClampNotice(int index, int value)
{
    notice.ShowBelow(fields[index], tr("%1 is more than an address field can hold; it has been set to %2.")
                                        .arg(value)
                                        .arg(MaxOctet));
}

void CIpAddressControl::ShowRefusal(int index, const QString& text)
{
    notice.ShowBelow(fields[index], tr("%1 was not entered: an address field takes an address such as "
                                       "192.168.1.50, or a number from 0 to 255.")
                                        .arg(Quoted(text)));
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
            connect(action, &QAction::triggered, this,
                    [this, index] { Enter(index, QGuiApplication::clipboard()->text()); });
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
