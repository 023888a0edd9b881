#include "app/template_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "app/dialog_font.h"

namespace corvane {
namespace {

QWidget* MakeControl(const ControlTemplate& c, QWidget* window) {
    if (c.kind == QLatin1String("static") || c.kind == QLatin1String("picture")) {
        auto* label = new QLabel(c.text, window);
        label->setAlignment(c.align | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    if (c.kind == QLatin1String("edit")) {
        auto* edit = new QLineEdit(c.text, window);
        if (c.Has("digits"))
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        edit->setReadOnly(c.Has("readonly"));
        if (c.Has("password")) edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    if (c.kind == QLatin1String("button")) {
        auto* button = new QPushButton(c.text, window);
        if (c.Has("default")) button->setDefault(true);
        return button;
    }
    if (c.kind == QLatin1String("dropdown")) return new QComboBox(window);
    if (c.kind == QLatin1String("group")) {
        auto* group = new QGroupBox(c.text, window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->setFocusPolicy(Qt::NoFocus);
        return group;
    }
    if (c.kind == QLatin1String("radio")) {
        auto* radio = new QRadioButton(c.text, window);
        radio->setChecked(c.Has("checked"));
        return radio;
    }
    if (c.kind == QLatin1String("check")) {
        auto* check = new QCheckBox(c.text, window);
        check->setChecked(c.Has("checked"));
        return check;
    }
    return nullptr;
}

}  // namespace

QWidget* TemplateControls::Control(int id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

TemplateControls BuildFromTemplate(QWidget* window, const DialogTemplate& t,
                                   const ControlFactory& factory) {
    TemplateControls out;
    window->setObjectName(t.name);
    window->setFont(DialogFont(t.fontFace, t.fontPoints));
    if (!t.caption.isEmpty()) window->setWindowTitle(t.caption);
    out.units_ = BaseUnitsOf(window->font());
    window->resize(DialogUnitsToPixels(t.size, out.units_));

    int unnamed = 0;
    for (const ControlTemplate& c : t.controls) {
        QWidget* w = MakeControl(c, window);
        if (!w && factory) w = factory(c, window);
        if (!w) continue;
        w->setObjectName(c.id != -1 ? QStringLiteral("c%1").arg(c.id)
                                    : QStringLiteral("%1%2").arg(c.kind).arg(unnamed++));
        QRect r = out.ToPixels(c.rect);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            r.setHeight(std::min(r.height(), combo->sizeHint().height()));
        w->setGeometry(r);
        if (c.Has("hidden")) w->hide();
        out.all_.push_back(w);
        if (c.id != -1) out.byId_[c.id] = w;
        if (!c.layout.IsNone()) {
            if (!out.layout_) out.layout_ = new DynamicLayout(window);
            out.layout_->Add(w, c.layout);
        }
    }
    return out;
}

}  // namespace corvane
