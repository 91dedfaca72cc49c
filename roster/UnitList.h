#pragma once

#include "roster/UnitRow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QItemSelectionModel>

#include <array>
#include <cstddef>
#include <deque>

// The units heard, newest first (row 0 at the top), and the one row the
// operator may have selected. Views show these rows; there is no other copy.
class CUnitList : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int NoRow = -1;
    // In pixels of the dialog templates' font; views scale them to their own.
    static constexpr std::array<int, UnitColumnCount> ColumnWidths{140, 95, 95, 95, 51};

    // Texts at least as wide as anything a cell of the column can show, in
    // any font: fonts differ in which digit or letter is the widest.
    static QStringList WidestTextCandidates(int column);

    CUnitList();

    // A request from the unit with this key: a new unit gets a row at the
    // top with placeholders; a known one only gets its latest request and
    // interface refreshed, whatever was assigned to it. The unit's row.
    int OnBootRequest(const QString& macAddressText, const BootRequest& request, const NetworkInterface& arrival);
    // The same, keyed by the text of the request's hardware address.
    int OnBootRequest(const BootRequest& request, const NetworkInterface& arrival);
    void SetSentStatus(int row, bool ok);
    // Writes the addresses into the row's IP address, mask and gateway columns.
    void SetAddresses(int row, const UnitAddresses& addresses);
    void OnClearList();
    // The first selected row from the top, or NoRow.
    int FindSelectedRow() const;

    int RowCount() const;
    QString Text(int row, int column) const;
    void SetText(int row, int column, const QString& text);
    TransactionId GetTransactionId(int row) const;
    const BootRequest& LatestRequest(int row) const;
    const NetworkInterface& ArrivalInterface(int row) const;
    // What the last answer that went out to the unit gave it, if any.
    std::optional<UnitAddresses> SentAddresses(int row) const;
    void RecordSentAddresses(int row, const UnitAddresses& addresses);

    // Selection follows its row when rows are inserted above it.
    QItemSelectionModel selection;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    UnitRow& At(int row);
    const UnitRow& At(int row) const;

    // Kept oldest first, so a new unit's row costs the same however long the
    // list is; row 0, the newest, is the last one stored.
    std::deque<UnitRow> rows;
    // Where each MAC address text is stored, so a repeat request finds its row
    // without reading every row. Holds exactly the keys of `rows`.
    QHash<QString, std::size_t> storedAt;
};
