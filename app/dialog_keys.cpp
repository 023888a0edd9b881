#include "app/dialog_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace corvane {

DialogKeyFilter::DialogKeyFilter(QWidget* window, std::function<void()> onEnterReleased)
    : QObject(window), window_(window), onEnterReleased_(std::move(onEnterReleased)) {
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool DialogKeyFilter::IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

bool DialogKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    // A drop-down's open list is a window of its own and keeps its keys.
    if (auto* w = qobject_cast<QWidget*>(watched); w && w->window() != window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = IsEnter(key->key());
    if (!enter && key->key() != Qt::Key_Escape) return false;
    if (type == QEvent::KeyRelease && enter && onEnterReleased_ && !key->isAutoRepeat())
        onEnterReleased_();
    event->accept();
    return true;
}

}  // namespace corvane
