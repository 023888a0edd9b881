#include "ui/message_inspector_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTreeWidget>

#include <cstring>

#include "app/window_message_event.h"
#include "net/mountpoint_entry.h"
#include "net/ntrip_channel.h"
#include "platform/text_encoding.h"
#include "platform/window_messages.h"
#include "platform/window_receiver.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"
#include "ui/corvane_dlg.h"
#include "ui/decoder_table_rows.h"
#include "ui/message_tree_items.h"
#include "ui/table_columns.h"

namespace corvane {
namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr int kInspectorTitleId = 1004;

QString Wide(const std::u16string& text) { return QString::fromStdU16String(text); }

Qt::Alignment AlignmentOf(ColumnAlign align) {
    switch (align) {
        case ColumnAlign::Center:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case ColumnAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case ColumnAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QTreeWidgetItem* NewItem(const char16_t* text, std::uint32_t code) {
    auto* item = new QTreeWidgetItem(QStringList(QString::fromUtf16(text)));
    item->setData(0, kCodeRole, QVariant::fromValue(code));
    return item;
}

}  // namespace

MessageInspectorView::MessageInspectorView(Controls controls, platform::WindowReceiver& window,
                                           std::function<void()> layoutColumns)
    : controls_(controls), window_(window), layoutColumns_(std::move(layoutColumns)) {
    QTreeWidget* tree = controls_.tree;
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    selectionConnection_ = QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree,
                                            [this] { OnMessageTypeSelected(); });

    QTableWidget* table = controls_.table;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setShowGrid(true);
    table->setSortingEnabled(false);
    table->setWordWrap(false);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionsClickable(false);
    // Widths come from the window's column layout; the column after the last
    // sized one fills the rest, however little that is.
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setMinimumSectionSize(0);
    table->horizontalHeader()->setDefaultSectionSize(24);
    // List-view rows: one line of text each.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
}

MessageInspectorView::~MessageInspectorView() { QObject::disconnect(selectionConnection_); }

std::uint32_t* MessageInspectorView::SelectedSlot(int version) {
    return version == 2 || version == 3 ? &selectedCode_[version - 2] : nullptr;
}

std::uint32_t MessageInspectorView::SelectedCodeOf(int version) const {
    return version == 2 || version == 3 ? selectedCode_[version - 2] : 0;
}

void MessageInspectorView::PostRefill(std::uint32_t code) {
    window_.Post(WM_RTCM_DECODED, reinterpret_cast<std::uintptr_t>(inspectedEntry_),
                 static_cast<std::intptr_t>(code));
}

void MessageInspectorView::FillMessageTree(MountpointEntry* entry) {
    if (entry == nullptr || (entry == inspectedEntry_ && entry->selected == 0)) {
        inspectedEntry_ = nullptr;
        if (controls_.name) controls_.name->setText(QString());
        return;
    }
    if (entry->selected == 0) return;
    inspectedEntry_ = entry;
    if (controls_.name)
        controls_.name->setText(Wide(platform::NarrowToWide(
            std::string_view(entry->name, strnlen(entry->name, sizeof entry->name)))));

    const int version = static_cast<int>(entry->formatVersion);
    const std::uint32_t remembered = SelectedCodeOf(version);
    if (version == treeVersion_) {
        if (remembered != 0) PostRefill(remembered);
        return;
    }

    QTreeWidget* tree = controls_.tree;
    treeRebuilding_ = true;
    tree->clear();
    treeRebuilding_ = false;
    treeVersion_ = version;

    QTreeWidgetItem* found = nullptr;
    for (const MessageTreeItem& top : MessageTreeItems(version)) {
        QTreeWidgetItem* item = NewItem(top.text, top.code);
        tree->addTopLevelItem(item);
        if (top.code != 0 && top.code == remembered) found = item;
        for (const MessageTreeChild& child : top.children) {
            QTreeWidgetItem* childItem = NewItem(child.text, child.code);
            item->addChild(childItem);
            if (child.code == remembered) found = childItem;
        }
        if (!top.children.empty() && remembered != 0 && KindOf(remembered) == top.groupKind)
            item->setExpanded(true);
    }
    if (found != nullptr) tree->setCurrentItem(found);
}

void MessageInspectorView::OnMessageTypeSelected() {
    if (treeRebuilding_) return;
    const QList<QTreeWidgetItem*> selected = controls_.tree->selectedItems();
    const std::uint32_t code =
        selected.isEmpty() ? 0 : selected.first()->data(0, kCodeRole).value<std::uint32_t>();
    if (code == 0) return;
    std::uint32_t* slot = SelectedSlot(treeVersion_);
    if (slot == nullptr) return;

    *slot = code;
    SetUpColumns(KindOf(code));
    if (layoutColumns_) layoutColumns_();
    PostRefill(code);
}

void MessageInspectorView::SetUpColumns(std::uint32_t kind) {
    QTableWidget* table = controls_.table;
    table->setRowCount(0);
    table->setColumnCount(0);
    columnAlignments_.clear();
    const auto columns = TableColumnsOfKind(kind);
    table->setColumnCount(static_cast<int>(columns.size()));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto* header = new QTableWidgetItem(QString::fromUtf16(columns[i].header));
        const Qt::Alignment align = AlignmentOf(columns[i].align);
        header->setTextAlignment(align);
        table->setHorizontalHeaderItem(static_cast<int>(i), header);
        columnAlignments_.push_back(align);
    }
    table->horizontalHeader()->setVisible(TableHeaderShown(kind));
}

void MessageInspectorView::RtcmDecoded(std::uintptr_t wParam, std::intptr_t lParam) {
    if (inspectedEntry_ == nullptr || wParam != reinterpret_cast<std::uintptr_t>(inspectedEntry_))
        return;
    const std::uint32_t code = static_cast<std::uint32_t>(lParam);
    if (code == 0 || code != SelectedCodeOf(treeVersion_)) return;
    const NtripChannel* channel = inspectedEntry_->channel;
    if (channel == nullptr) return;
    if (treeVersion_ == 2) {
        const auto* decoder = dynamic_cast<const RTCM2Dec*>(channel->rtcm2.get());
        if (decoder != nullptr) FillRows(Rtcm2TableRows(*decoder, code));
    } else {
        const auto* decoder = dynamic_cast<const RTCM3Dec*>(channel->rtcm3.get());
        if (decoder != nullptr) FillRows(Rtcm3TableRows(*decoder, code));
    }
}

void MessageInspectorView::FillRows(const TableRows& rows) {
    QTableWidget* table = controls_.table;
    const int columns = table->columnCount();
    table->setUpdatesEnabled(false);
    table->setRowCount(static_cast<int>(rows.size()));
    // Cells are reused from one message to the next: a refill only changes
    // the texts that differ, without rebuilding the table's items.
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TableRow& row = rows[r];
        for (int c = 0; c < columns; ++c) {
            const QString text = c < static_cast<int>(row.size()) ? Wide(row[c]) : QString();
            QTableWidgetItem* item = table->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem(text);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                item->setTextAlignment(columnAlignments_[c]);
                table->setItem(r, c, item);
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    table->setUpdatesEnabled(true);
}

std::unique_ptr<MessageInspector> CreateMessageInspector(CCorvaneDlg& window) {
    // The title static is looked up by its control: the window binds it after
    // making its parts.
    auto* title = qobject_cast<QLabel*>(window.Control(kInspectorTitleId));
    return std::make_unique<MessageInspectorView>(
        MessageInspectorView::Controls{title, window.MessageTree(), window.MessageTable()},
        window.Receiver(), [&window] { SendWindowMessage(&window, WM_LAYOUT_COLUMNS); });
}

}  // namespace corvane
