#include "roster/UnitList.h"

#include "core/AddressText.h"
#include "core/HardwareAddress.h"
#include "res/strings/StringTable.h"

#include <utility>

namespace {

constexpr std::array<QString UnitRow::*, UnitColumnCount> ColumnTexts{
    &UnitRow::macAddressText, &UnitRow::ipAddressText, &UnitRow::subnetMaskText,
    &UnitRow::gatewayText, &UnitRow::sentText};

constexpr std::array<StringId, UnitColumnCount> ColumnCaptions{
    StringId::ColumnMacAddress, StringId::ColumnIpAddress, StringId::ColumnSubnetMask,
    StringId::ColumnGateway, StringId::ColumnSent};

} // namespace

CUnitList::CUnitList() : selection(this) {}

int CUnitList::OnBootRequest(const QString& macAddressText, const BootRequest& request,
                             const NetworkInterface& arrival)
{
    // The hash finds the row whose key equals the text as a whole string,
    // case for case.
    if (const auto known = storedAt.constFind(macAddressText); known != storedAt.cend()) {
        UnitRow& row = rows[known.value()];
        row.latestRequest = request;
        row.arrival = arrival;
        return RowCount() - 1 - static_cast<int>(known.value());
    }
    beginInsertRows({}, 0, 0);
    storedAt.insert(macAddressText, rows.size());
    rows.push_back(UnitRow{macAddressText, RowText::NoAddress, RowText::UnknownAddress, RowText::UnknownAddress, {},
                           request, arrival, std::nullopt});
    endInsertRows();
    SetSentStatus(0, false);
    return 0;
}

int CUnitList::OnBootRequest(const BootRequest& request, const NetworkInterface& arrival)
{
    // The text is plain ASCII, which Latin-1 reads fastest.
    const std::string text = FormatHardwareAddress(request.hardwareAddress);
    return OnBootRequest(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), request, arrival);
}

void CUnitList::SetSentStatus(int row, bool ok)
{
    SetText(row, SentColumn, ok ? RowText::Sent : RowText::NotSent);
}

void CUnitList::SetAddresses(int row, const UnitAddresses& addresses)
{
    SetText(row, IpAddressColumn, QString::fromStdString(FormatDottedQuad(addresses.ipAddress)));
    SetText(row, SubnetMaskColumn, QString::fromStdString(FormatDottedQuad(addresses.subnetMask)));
    SetText(row, GatewayColumn, QString::fromStdString(FormatDottedQuad(addresses.gateway)));
}

void CUnitList::OnClearList()
{
    if (rows.empty())
        return;
    beginResetModel();
    rows.clear();
    storedAt.clear();
    endResetModel();
}

int CUnitList::FindSelectedRow() const
{
    for (int row = 0; row < RowCount(); ++row) {
        if (selection.isRowSelected(row))
            return row;
    }
    return NoRow;
}

QStringList CUnitList::WidestTextCandidates(int column)
{
    QStringList texts;
    switch (column) {
    case MacAddressColumn:
        // Every listed unit's address begins with the vendor prefix; the
        // rest is written with each hexadecimal digit throughout.
        for (int digit = 0; digit < 16; ++digit) {
            const auto octet = static_cast<std::uint8_t>(digit * 0x11);
            const auto [first, second, third] = VENDOR_PREFIX;
            texts << QString::fromStdString(FormatHardwareAddress({first, second, third, octet, octet, octet}));
        }
        break;
    case SentColumn:
        texts << RowText::Sent << RowText::NotSent;
        break;
    default:
        texts << RowText::NoAddress << RowText::UnknownAddress;
        for (char digit = '0'; digit <= '9'; ++digit)
            texts << QStringList(4, QString(3, QLatin1Char(digit))).join(QLatin1Char('.'));
        break;
    }
    return texts;
}

int CUnitList::RowCount() const
{
    return static_cast<int>(rows.size());
}

QString CUnitList::Text(int row, int column) const
{
    return At(row).*ColumnTexts.at(static_cast<std::size_t>(column));
}

void CUnitList::SetText(int row, int column, const QString& text)
{
    At(row).*ColumnTexts.at(static_cast<std::size_t>(column)) = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

TransactionId CUnitList::GetTransactionId(int row) const
{
    return At(row).latestRequest.transactionId;
}

const BootRequest& CUnitList::LatestRequest(int row) const
{
    return At(row).latestRequest;
}

const NetworkInterface& CUnitList::ArrivalInterface(int row) const
{
    return At(row).arrival;
}

std::optional<UnitAddresses> CUnitList::SentAddresses(int row) const
{
    return At(row).sentAddresses;
}

void CUnitList::RecordSentAddresses(int row, const UnitAddresses& addresses)
{
    At(row).sentAddresses = addresses;
}

UnitRow& CUnitList::At(int row)
{
    return const_cast<UnitRow&>(std::as_const(*this).At(row));
}

const UnitRow& CUnitList::At(int row) const
{
    // Any row outside the list, negative ones too, turns into a position
    // past the end, which at() refuses.
    return rows.at(rows.size() - 1 - static_cast<std::size_t>(row));
}

int CUnitList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int CUnitList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : UnitColumnCount;
}

QVariant CUnitList::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole)
        return {};
    return Text(index.row(), index.column());
}

QVariant CUnitList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= UnitColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return StringFromTable(ColumnCaptions[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CUnitList::flags(const QModelIndex& index) const
{
    // Selectable, never editable in place.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
