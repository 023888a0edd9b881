#include "ui/my_check_box.h"

#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include "net/mountpoint_entry.h"

namespace corvane {
namespace {

// Drop-down items: a check box, then the text after one blank.
class CheckItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return QLatin1Char(' ') + QStyledItemDelegate::displayText(value, locale);
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                     const QModelIndex&) override {
        return false;  // the control toggles the bits itself
    }
};

}  // namespace

myCheckBox::myCheckBox(QWidget* parent) : QComboBox(parent) {
    list_ = new QListView(this);
    setView(list_);
    setItemDelegate(new CheckItemDelegate(this));
    // Filters installed last run first: these see the clicks before the
    // drop-down's own handling, which would close it.
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    container_ = list_->parentWidget();
    if (container_) container_->installEventFilter(this);
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { SyncItemChecks(); });
}

void myCheckBox::SetCheckBits(std::uint32_t bits) {
    checkBits_ = bits;
    SyncItemChecks();
    update();
}

QString myCheckBox::ClosedText() const {
    return QString::fromLatin1(OutputLetters(static_cast<std::uint8_t>(checkBits_ & 0xFF)));
}

bool myCheckBox::PopupOpen() const { return open_; }

void myCheckBox::SyncItemChecks() {
    auto* items = qobject_cast<QStandardItemModel*>(model());
    if (!items) return;
    for (int i = 0; i < items->rowCount() && i < 32; ++i) {
        QStandardItem* item = items->item(i);
        if (!item) continue;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState((checkBits_ >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    }
}

void myCheckBox::ToggleItem(int item) {
    if (item < 0 || item >= 32) return;
    checkBits_ ^= std::uint32_t{1} << item;
    SyncItemChecks();
    update();
}

void myCheckBox::showPopup() {
    open_ = true;
    SyncItemChecks();
    QComboBox::showPopup();
}

void myCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = ClosedText();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void myCheckBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Left:
        case Qt::Key_Right:
            event->accept();
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
                event->accept();
                if (!open_) showPopup();
                return;
            }
            break;
        default:
            break;
    }
    QComboBox::keyPressEvent(event);
}

// The selection is not what the control edits: the wheel does not move it.
void myCheckBox::wheelEvent(QWheelEvent* event) { event->accept(); }

bool myCheckBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == container_ && event->type() == QEvent::Hide) {
        if (open_) {
            open_ = false;
            emit closedUp();
        }
        return false;
    }
    if (watched == list_->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonDblClick:
                // The second click of a double click has come as a press
                // already and toggled its item.
                return list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                    .isValid();
            case QEvent::MouseButtonPress: {
                auto* mouse = static_cast<QMouseEvent*>(event);
                const QPoint pos = mouse->position().toPoint();
                if (mouse->button() == Qt::RightButton) {
                    checkBits_ = checkBits_ == 0 ? (std::uint32_t{1} << count()) - 1 : 0;
                    SyncItemChecks();
                    update();
                    list_->viewport()->update();
                    emit selChange();
                    return false;
                }
                if (mouse->button() != Qt::LeftButton) return false;
                const QModelIndex index = list_->indexAt(pos);
                if (!index.isValid() || !list_->visualRect(index).contains(pos)) return false;
                ToggleItem(index.row());
                return true;
            }
            case QEvent::MouseButtonRelease: {
                // The release of a click (left or right) must not choose
                // the item and close the drop-down.
                const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
                return list_->indexAt(pos).isValid();
            }
            default:
                return false;
        }
    }
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        const QModelIndex current = list_->currentIndex();
        if (current.isValid()) {
            ToggleItem(current.row());
            emit selChange();
        }
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace corvane
