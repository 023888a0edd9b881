#include "ui/mount_list_controller.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include "net/run_flag.h"
#include "platform/serial.h"
#include "platform/text_encoding.h"
#include "ui/mount_list_model.h"
#include "ui/my_check_box.h"

namespace corvane {
namespace {

bool Running() { return runFlag.load() != 0; }

bool ValidPort(int port) { return port >= 1 && port <= platform::kMaxSerialPortNumber; }

std::uint32_t PortBit(int port) { return std::uint32_t{1} << port; }

QString ComText(int port) { return port ? QStringLiteral("COM%1").arg(port) : QString(); }

QString NumberOrEmpty(unsigned value) { return value ? QString::number(value) : QString(); }

QString NameText(const MountpointEntry& e) {
    return QString::fromStdU16String(platform::NarrowToWide(e.name));
}

}  // namespace

MountListController::MountListController(CCorvaneApp& app, QTableView* view, MountListModel* model,
                                         myCheckBox* editor, QObject* parent)
    : QObject(parent), app_(app), view_(view), model_(model), editor_(editor) {
    connect(model_, &MountListModel::tickClicked, this, &MountListController::TickClicked);
    connect(view_, &QAbstractItemView::clicked, this, &MountListController::CellClicked);
    connect(view_, &QAbstractItemView::doubleClicked, this,
            &MountListController::CellDoubleClicked);
    connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MountListController::SortByColumn);
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { CurrentRowChanged(current.row()); });
    if (editor_)
        connect(editor_, &myCheckBox::closedUp, this, &MountListController::EndOutputsEdit);
}

int MountListController::RowOf(const MountpointEntry* entry) const {
    if (!entry) return -1;
    for (int row = 0; row < model_->rowCount(); ++row)
        if (model_->Entry(row) == entry) return row;
    return -1;
}

void MountListController::ShowSettingsCells(int row, const MountpointEntry& e) {
    model_->SetCell(row, MountListModel::kTcp, NumberOrEmpty(e.tcpPort));
    model_->SetCell(row, MountListModel::kCom, ComText(e.comPort));
    model_->SetCell(row, MountListModel::kSave, QString::fromLatin1(OutputLetters(e.outputs)));
}

void MountListController::FillMountList(bool selectedOnly) {
    listFilled_ = false;
    model_->Clear();
    // Numbers every entry (listed or not) and settles the selected entries'
    // ports: a relay port follows the start port, a serial port that is gone
    // or already taken earlier in the order is dropped.
    app_.registry.NumberEntries(app_.settings.tcp, app_.serialPorts);
    freeSerialPorts_ = app_.serialPorts;
    app_.registry.ForEachEntry([&](int, MountpointEntry& e) {
        if (selectedOnly && !e.selected) return;
        const int row = model_->AppendRow(
            &e, NameText(e), QString::asprintf("%.1f", static_cast<double>(e.formatVersion)));
        if (e.selected) {
            model_->SetCell(row, MountListModel::kBps, NumberOrEmpty(e.bitRate.load()));
            if (ValidPort(e.comPort)) freeSerialPorts_ &= ~PortBit(e.comPort);
            ShowSettingsCells(row, e);
        }
        model_->SetChecked(row, e.selected != 0);
        e.listRow = static_cast<std::int16_t>(row);
    });
    if (sortColumn_ != 0 || descending_) model_->SortRows(sortColumn_, descending_);
    listFilled_ = true;
}

void MountListController::ClearSelection(bool selectedOnly) {
    if (Running()) return;
    app_.registry.ForEachEntry([&](int, MountpointEntry& e) {
        if (!e.selected) return;
        e.selected = 0;
        emit markChanged(NameText(e), false);
    });
    FillMountList(selectedOnly);
    emit inspect(nullptr);
}

void MountListController::SortByColumn(int column) {
    QHeaderView* header = view_->horizontalHeader();
    if (column != MountListModel::kName && column != MountListModel::kVersion) {
        // The header flips its arrow on any click; it keeps showing the order.
        if (header->isSortIndicatorShown())
            header->setSortIndicator(sortColumn_,
                                     descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
        return;
    }
    if (column == sortColumn_) {
        descending_ = !descending_;
    } else {
        if (sortColumn_ == MountListModel::kName && descending_) {
            // Ties of the new column keep the names' ascending order.
            descending_ = false;
            model_->SortRows(MountListModel::kName, false);
        }
        sortColumn_ = column;
        descending_ = false;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sortColumn_, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
    model_->SortRows(sortColumn_, descending_);
}

int MountListController::TakeFreePortAbove(int after) {
    for (int port = after + 1; port <= platform::kMaxSerialPortNumber; ++port) {
        if (freeSerialPorts_ & PortBit(port)) {
            freeSerialPorts_ &= ~PortBit(port);
            return port;
        }
    }
    return 0;
}

void MountListController::ReleasePort(int port) {
    if (ValidPort(port) && (app_.serialPorts & PortBit(port))) freeSerialPorts_ |= PortBit(port);
}

void MountListController::CellClicked(const QModelIndex& index) {
    if (Running() || !index.isValid()) return;
    const int row = index.row();
    MountpointEntry* e = model_->Entry(row);
    if (!e) return;
    switch (index.column()) {
        case MountListModel::kTcp:
            if (e->tcpPort != 0) {
                e->tcpPort = 0;
            } else if (e->selected) {
                e->tcpPort = static_cast<std::uint16_t>(app_.settings.tcp + e->sequence);
            }
            model_->SetCell(row, MountListModel::kTcp,
                            e->selected ? NumberOrEmpty(e->tcpPort) : QString());
            break;
        case MountListModel::kCom:
            if (e->selected) {
                const int from = e->comPort;
                if (from != 0) ReleasePort(from);
                e->comPort =
                    static_cast<std::int8_t>(TakeFreePortAbove(ValidPort(from) ? from : 0));
            } else {
                // An unticked row holds no port of the free set: nothing to return.
                e->comPort = 0;
            }
            model_->SetCell(row, MountListModel::kCom, ComText(e->comPort));
            break;
        case MountListModel::kSave:
            if (e->selected) BeginOutputsEdit(row);
            break;
        default:
            break;
    }
}

void MountListController::CellDoubleClicked(const QModelIndex& index) {
    if (Running() || !index.isValid() || index.column() > MountListModel::kBps) return;
    TickClicked(index.row(), !model_->Checked(index.row()));
}

void MountListController::TickClicked(int row, bool ticked) {
    if (!listFilled_) return;
    MountpointEntry* e = model_->Entry(row);
    if (!e) return;
    if (Running()) {
        // Ticks cannot change while channels run.
        model_->SetChecked(row, e->selected != 0);
        emit inspect(e);
        return;
    }
    // The check box's change, as the list saw it (the map sets the record
    // first and then the check box).
    if (ticked != model_->Checked(row)) {
        e->selected = ticked ? 1 : 0;
        model_->SetChecked(row, ticked);
        if (!ticked) {
            e->tcpPort = 0;
            ReleasePort(e->comPort);
            e->comPort = 0;
            e->outputs = 0;
            model_->SetCell(row, MountListModel::kTcp, {});
            model_->SetCell(row, MountListModel::kCom, {});
            model_->SetCell(row, MountListModel::kSave, {});
        } else {
            // Settings kept while unticked come back with the tick: the
            // serial port only when it is still free, and the cells show
            // what a start will use.
            if (e->comPort != 0) {
                if (ValidPort(e->comPort) && (freeSerialPorts_ & PortBit(e->comPort))) {
                    freeSerialPorts_ &= ~PortBit(e->comPort);
                } else {
                    e->comPort = 0;
                }
            }
            if (e->tcpPort != 0)
                e->tcpPort = static_cast<std::uint16_t>(app_.settings.tcp + e->sequence);
            ShowSettingsCells(row, *e);
        }
        emit markChanged(NameText(*e), ticked);
    }
    emit inspect(e);
}

void MountListController::SetRowTick(int row, bool ticked) { TickClicked(row, ticked); }

void MountListController::CurrentRowChanged(int row) {
    if (!listFilled_) return;
    if (row < 0) {
        emit noRow();
        return;
    }
    if (MountpointEntry* e = model_->Entry(row)) emit inspect(e);
}

void MountListController::BeginOutputsEdit(int row) {
    if (!editor_) return;
    const QModelIndex cell = model_->index(row, MountListModel::kSave);
    const QRect rect = view_->visualRect(cell);
    if (rect.isEmpty()) return;
    const int cellBottom = view_->viewport()->mapTo(view_, QPoint(0, rect.y() + rect.height())).y();
    if (view_->height() < cellBottom + 4) return;
    const MountpointEntry* e = model_->Entry(row);
    if (e->formatVersion < 3.0f) {
        while (editor_->count() > 2) editor_->removeItem(editor_->count() - 1);
    } else if (editor_->count() < 3) {
        editor_->addItem(QStringLiteral("RNX"));
    }
    editor_->editRow = row;
    editor_->SetCheckBits(e->outputs);
    editor_->setGeometry(rect);
    editor_->show();
    editor_->showPopup();
    editor_->setFocus();
}

void MountListController::EndOutputsEdit() {
    if (editor_->editRow >= 0) {
        if (MountpointEntry* e = model_->Entry(editor_->editRow)) {
            e->outputs = static_cast<std::uint8_t>(editor_->CheckBits() & 0xFF);
            model_->SetCell(editor_->editRow, MountListModel::kSave,
                            QString::fromLatin1(OutputLetters(e->outputs)));
        }
    }
    editor_->editRow = -1;
    editor_->hide();
}

void MountListController::ChannelEvent(const MountpointEntry* entry) {
    const int row = RowOf(entry);
    if (row < 0) return;
    model_->SetCell(row, MountListModel::kBps, NumberOrEmpty(entry->bitRate.load()));
    const int clients = entry->relayClients.load();
    QString tcp;
    if (entry->tcpPort != 0)
        tcp = clients != 0 ? QStringLiteral("%1/%2").arg(entry->tcpPort).arg(clients)
                           : QString::number(entry->tcpPort);
    model_->SetCell(row, MountListModel::kTcp, tcp);
    model_->RedrawRow(row);
}

void MountListController::TcpStartPortChanged(std::uint16_t startPort) {
    for (int row = 0; row < model_->rowCount(); ++row) {
        MountpointEntry* e = model_->Entry(row);
        if (!e || !e->selected || e->tcpPort == 0) continue;
        e->tcpPort = static_cast<std::uint16_t>(startPort + e->sequence);
        model_->SetCell(row, MountListModel::kTcp, QString::number(e->tcpPort));
    }
}

}  // namespace corvane
