#include "ui/mount_row_delegate.h"

#include <QPalette>

#include "ui/mount_list_model.h"

namespace corvane {

void MountRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    QPalette& p = option->palette;
    // The selection stays visible in the same colour without the focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    // No focus frame of the view's own around a cell.
    option->state &= ~QStyle::State_HasFocus;
    if (!(option->state & QStyle::State_Selected)) return;
    const QColor text = index.data(MountListModel::kStatusColourRole).value<QColor>();
    if (text.isValid()) {
        p.setColor(QPalette::Active, QPalette::HighlightedText, text);
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    }
}

}  // namespace corvane
