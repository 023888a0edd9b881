// Dialog templates: the windows' controls, texts and positions as data,
// read from the JSON files embedded under :/templates/ (res/templates/).
//
// Format of a template file:
//   { "id": 103, "name": "login", "caption": "옵션",
//     "font": {"face": "맑은 고딕", "points": 9},
//     "size": [w, h],                       dialog units
//     "styles": ["popup", "caption", ...],  free-form window style words
//     "controls": [ { "id": 1004,           -1 for an unnamed control
//                     "kind": "static",     static, picture, edit, button,
//                                           dropdown, group, radio, check, or
//                                           any kind a window builds itself
//                     "rect": [x, y, w, h], dialog units
//                     "text": "...",
//                     "align": "left" | "right" | "center",
//                     "flags": ["digits", "readonly", "password", "default",
//                               "hidden", "checked", "group", "tabstop", ...],
//                     "layout": {"moveX": 0, "moveY": 100,
//                                "sizeX": 50, "sizeY": 0} } ] }
// The layout numbers are percentages of the change of the window's size:
// moveX/moveY move the control, sizeX/sizeY grow it.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace corvane {

struct LayoutPercent {
    int moveX = 0;
    int moveY = 0;
    int sizeX = 0;
    int sizeY = 0;
    bool IsNone() const { return moveX == 0 && moveY == 0 && sizeX == 0 && sizeY == 0; }
};

struct ControlTemplate {
    int id = -1;
    QString kind;
    QRect rect;  // dialog units
    QString text;
    Qt::Alignment align = Qt::AlignLeft;
    QStringList flags;
    LayoutPercent layout;
    bool Has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
};

struct DialogTemplate {
    int id = 0;
    QString name;
    QString caption;
    QString fontFace;
    double fontPoints = 9;
    QSize size;  // dialog units
    QStringList styles;
    std::vector<ControlTemplate> controls;

    // The control with this id, or nothing.
    const ControlTemplate* Control(int id) const;
    bool HasStyle(const char* style) const { return styles.contains(QLatin1String(style)); }
};

// Parses a template; nothing when the text is not a template (`error` then
// says why).
std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, QString* error = nullptr);

// Reads ":/templates/<name>.json". A template that is missing or broken is a
// fault of the build: it is reported with qFatal.
DialogTemplate LoadDialogTemplate(const QString& name);

}  // namespace corvane
