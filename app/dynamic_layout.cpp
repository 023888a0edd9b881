#include "app/dynamic_layout.h"

#include <QEvent>
#include <QResizeEvent>

namespace corvane {

QRect LaidOutRect(const QRect& base, const LayoutPercent& p, QSize delta) {
    const int dx = delta.width();
    const int dy = delta.height();
    return QRect(base.x() + dx * p.moveX / 100, base.y() + dy * p.moveY / 100,
                 base.width() + dx * p.sizeX / 100, base.height() + dy * p.sizeY / 100);
}

DynamicLayout::DynamicLayout(QWidget* window)
    : QObject(window), window_(window), base_(window->size()) {
    window_->installEventFilter(this);
}

void DynamicLayout::Add(QWidget* control, const LayoutPercent& percent) {
    if (percent.IsNone()) return;
    items_.push_back({control, control->geometry(), percent});
}

void DynamicLayout::Apply(QSize windowSize) {
    const QSize delta = windowSize - base_;
    for (const Item& item : items_)
        if (item.control) item.control->setGeometry(LaidOutRect(item.base, item.percent, delta));
}

bool DynamicLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize)
        Apply(static_cast<QResizeEvent*>(event)->size());
    return false;
}

}  // namespace corvane
