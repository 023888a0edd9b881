// Builds a window's controls from its dialog template: the window gets the
// template's font, caption and client size; each control is created at its
// pixel rectangle, with its text, alignment and flags; controls with layout
// percentages join a DynamicLayout of the window.
//
// Kinds built here: static (QLabel; several lines with "\n"), picture
// (QLabel), edit (QLineEdit; flags digits, readonly, password), button
// (QPushButton; flag default), dropdown (QComboBox, non-editable; its height
// is the field's, the template's height being that of the open list), group
// (QGroupBox used as a frame; the controls inside stay children of the
// window), radio (QRadioButton; flag checked), check (QCheckBox). Any other
// kind is made by the caller's factory. Flag "hidden" hides a control.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "app/dialog_template.h"
#include "app/dialog_units.h"
#include "app/dynamic_layout.h"

namespace corvane {

// Makes a control of a kind the builder does not know, as a child of
// `parent`; nullptr leaves the control out.
using ControlFactory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

class TemplateControls {
public:
    // The control with this id; nullptr when there is none.
    QWidget* Control(int id) const;
    template <typename T>
    T* As(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    // Every control in template order (unnamed ones included).
    const std::vector<QWidget*>& All() const { return all_; }
    DialogBaseUnits Units() const { return units_; }
    // The pixel rectangle of a template rectangle in this window.
    QRect ToPixels(const QRect& dialogUnits) const {
        return DialogUnitsToPixels(dialogUnits, units_);
    }
    DynamicLayout* Layout() const { return layout_; }

private:
    friend TemplateControls BuildFromTemplate(QWidget*, const DialogTemplate&,
                                              const ControlFactory&);
    std::map<int, QWidget*> byId_;
    std::vector<QWidget*> all_;
    DialogBaseUnits units_;
    DynamicLayout* layout_ = nullptr;
};

// Builds the controls into `window` and sizes it (client size from the
// template). The window's object name becomes the template's name and each
// control's "c<id>" (or "<kind><n>" for unnamed ones).
TemplateControls BuildFromTemplate(QWidget* window, const DialogTemplate& t,
                                   const ControlFactory& factory = {});

}  // namespace corvane
