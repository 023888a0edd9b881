// Draws the mountpoint list's cells: the highlighted row in the system
// highlight colour whether or not the list has the focus, its text red or
// blue by the record's status like every other row, else highlight text.
#pragma once

#include <QStyledItemDelegate>

namespace corvane {

class MountRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace corvane
