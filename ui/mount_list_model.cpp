#include "ui/mount_list_model.h"

#include <algorithm>

#include "ui/mount_row_compare.h"

namespace corvane {
namespace {

const char* const kHeaders[MountListModel::kColumnCount] = {"마운트명", "버전", "BPS",
                                                            "TCP",      "COM",  "저장"};

Qt::Alignment ColumnAlignment(int column) {
    return (column == MountListModel::kName ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
}

}  // namespace

MountListModel::MountListModel(QObject* parent) : QAbstractTableModel(parent) {}

int MountListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MountListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QColor MountListModel::RowBackground(const MountpointEntry& entry) {
    const bool manual = entry.casterIndex != 0;
    if (entry.selected) return manual ? QColor(212, 190, 189) : QColor(190, 200, 211);
    return manual ? QColor(242, 220, 219) : QColor(220, 230, 241);
}

QColor MountListModel::StatusTextColour(const MountpointEntry& entry) {
    const int status = entry.status.load(std::memory_order_relaxed);
    if (status < 0) return QColor(255, 0, 0);
    if (status == kStatusStreaming) return QColor(0, 0, 255);
    return {};
}

QVariant MountListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return row.cells[static_cast<std::size_t>(index.column())];
        case Qt::CheckStateRole:
            if (index.column() != kName) return {};
            return row.checked ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(ColumnAlignment(index.column()));
        case Qt::BackgroundRole:
            return row.entry ? RowBackground(*row.entry) : QVariant();
        case kStatusColourRole:
            return row.entry ? StatusTextColour(*row.entry) : QColor();
        case Qt::ForegroundRole: {
            if (!row.entry) return {};
            const QColor c = StatusTextColour(*row.entry);
            return c.isValid() ? c : QColor(Qt::black);
        }
        default:
            return {};
    }
}

QVariant MountListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kHeaders[section]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

Qt::ItemFlags MountListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kName) f |= Qt::ItemIsUserCheckable;
    return f;
}

bool MountListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != kName) return false;
    emit tickClicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

void MountListModel::Clear() {
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int MountListModel::AppendRow(MountpointEntry* entry, const QString& name, const QString& version) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    Row r;
    r.entry = entry;
    r.cells[kName] = name;
    r.cells[kVersion] = version;
    rows_.push_back(std::move(r));
    endInsertRows();
    return row;
}

MountpointEntry* MountListModel::Entry(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return rows_[static_cast<std::size_t>(row)].entry;
}

QString MountListModel::Cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return {};
    return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

void MountListModel::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return;
    QString& cell = rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
    if (cell == text) return;
    cell = text;
    const QModelIndex i = index(row, column);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

bool MountListModel::Checked(int row) const {
    return row >= 0 && row < rowCount() && rows_[static_cast<std::size_t>(row)].checked;
}

void MountListModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<std::size_t>(row)].checked = checked;
    // The whole row: the background follows the tick.
    RedrawRow(row);
}

void MountListModel::RedrawRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void MountListModel::SortRows(int column, bool descending) {
    if (column < 0 || column >= kColumnCount) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    auto key = [column](const Row& r) {
        return MountSortKey{r.entry ? r.entry->casterIndex : 0,
                            r.cells[static_cast<std::size_t>(column)]};
    };
    std::vector<std::size_t> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return MountRowLess(key(rows_[a]), key(rows_[b]), descending);
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRowOf(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newRowOf[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].entry) rows_[i].entry->listRow = static_cast<std::int16_t>(i);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace corvane
