// Keeps Enter and Escape from closing a window or pressing its buttons.
// Installed on the window and every control in it, since a focused button or
// edit sees the key before the window does.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace corvane {

class DialogKeyFilter : public QObject {
public:
    // Swallows Enter (Return and keypad Enter) and Escape in `window` and
    // its current children. `onEnterReleased`, when given, runs when Enter is
    // released (the key press itself is still swallowed).
    explicit DialogKeyFilter(QWidget* window, std::function<void()> onEnterReleased = {});

    static bool IsEnter(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<void()> onEnterReleased_;
};

}  // namespace corvane
