// The rows of the mountpoint list: per row the record it shows, the six cell
// texts and the check box. The texts are written by the list's owner, as a
// list view's cells are, and are not recomputed from the record: a channel
// notification, for one, writes "port/clients" into the TCP cell. Colours
// come from the record (caster, tick, status) whenever a row is drawn.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <array>
#include <vector>

#include "net/mountpoint_entry.h"

namespace corvane {

class MountListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName = 0, kVersion, kBps, kTcp, kCom, kSave, kColumnCount };
    // The text colour a status asks for (red, blue), invalid for none: the
    // highlighted row keeps these and otherwise takes the highlight text.
    static constexpr int kStatusColourRole = Qt::UserRole + 1;

    explicit MountListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A change of the check state is not stored: it is reported through
    // tickClicked, and the owner decides whether the tick stands.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void Clear();
    // Appends a row with the name and version cells; returns its index.
    int AppendRow(MountpointEntry* entry, const QString& name, const QString& version);
    MountpointEntry* Entry(int row) const;
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    // Repaints a row (its colours follow the record).
    void RedrawRow(int row);

    // Orders the rows by the comparator and gives every record its new row.
    void SortRows(int column, bool descending);

    // Background of a row by caster and tick, text colour by status
    // (invalid: the view's own).
    static QColor RowBackground(const MountpointEntry& entry);
    static QColor StatusTextColour(const MountpointEntry& entry);

signals:
    // The user clicked (or pressed space on) a row's check box.
    void tickClicked(int row, bool ticked);

private:
    struct Row {
        MountpointEntry* entry = nullptr;
        std::array<QString, kColumnCount> cells;
        bool checked = false;
    };
    std::vector<Row> rows_;
};

}  // namespace corvane
