// Moves and grows a window's controls by percentages of the change of the
// window's size, from the geometry they had when the window was built.
//
//   DynamicLayout layout(window);        // the window's size now is the base
//   layout.Add(list, {0, 0, 50, 100});   // wider 50 %, taller 100 %
//   ... the window's resize events then move the controls on their own.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

#include "app/dialog_template.h"

namespace corvane {

// Where a control goes when the window grew by `delta` (negative: shrank)
// from the base: position + delta * move %, size + delta * size %
// (truncated toward zero, as integer percentages are).
QRect LaidOutRect(const QRect& base, const LayoutPercent& p, QSize delta);

class DynamicLayout : public QObject {
public:
    // Watches `window`'s resize events; its current size is the base size.
    explicit DynamicLayout(QWidget* window);

    // Adds a control with its current geometry as its base geometry. A
    // control without percentages is not moved.
    void Add(QWidget* control, const LayoutPercent& percent);
    // Takes the window's current size as the base size again.
    void SetBaseSize(QSize size) { base_ = size; }
    QSize BaseSize() const { return base_; }
    // Lays the controls out for a window size.
    void Apply(QSize windowSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        QPointer<QWidget> control;
        QRect base;
        LayoutPercent percent;
    };
    QWidget* window_;
    QSize base_;
    std::vector<Item> items_;
};

}  // namespace corvane
