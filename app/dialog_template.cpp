#include "app/dialog_template.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace corvane {
namespace {

bool ReadRect(const QJsonValue& v, QRect* rect) {
    const QJsonArray a = v.toArray();
    if (a.size() != 4) return false;
    for (const QJsonValue& n : a)
        if (!n.isDouble()) return false;
    *rect = QRect(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
    return rect->width() >= 0 && rect->height() >= 0;
}

QStringList ReadStrings(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& s : v.toArray()) out << s.toString();
    return out;
}

Qt::Alignment ReadAlign(const QString& align) {
    if (align == QLatin1String("right")) return Qt::AlignRight;
    if (align == QLatin1String("center")) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

}  // namespace

const ControlTemplate* DialogTemplate::Control(int controlId) const {
    for (const ControlTemplate& c : controls)
        if (c.id == controlId && controlId != -1) return &c;
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, QString* error) {
    auto fail = [&](const QString& why) -> std::optional<DialogTemplate> {
        if (error) *error = why;
        return std::nullopt;
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject()) return fail(parseError.errorString());
    const QJsonObject o = doc.object();

    DialogTemplate t;
    t.id = o.value(QLatin1String("id")).toInt();
    t.name = o.value(QLatin1String("name")).toString();
    t.caption = o.value(QLatin1String("caption")).toString();
    const QJsonObject font = o.value(QLatin1String("font")).toObject();
    t.fontFace = font.value(QLatin1String("face")).toString();
    t.fontPoints = font.value(QLatin1String("points")).toDouble(9);
    const QJsonArray size = o.value(QLatin1String("size")).toArray();
    if (size.size() != 2 || size[0].toInt() <= 0 || size[1].toInt() <= 0)
        return fail(QStringLiteral("size must be [w, h]"));
    t.size = QSize(size[0].toInt(), size[1].toInt());
    t.styles = ReadStrings(o.value(QLatin1String("styles")));

    for (const QJsonValue& cv : o.value(QLatin1String("controls")).toArray()) {
        const QJsonObject c = cv.toObject();
        ControlTemplate ct;
        ct.id = c.value(QLatin1String("id")).toInt(-1);
        ct.kind = c.value(QLatin1String("kind")).toString();
        if (ct.kind.isEmpty()) return fail(QStringLiteral("control %1 has no kind").arg(ct.id));
        if (!ReadRect(c.value(QLatin1String("rect")), &ct.rect))
            return fail(QStringLiteral("control %1: rect must be [x, y, w, h]").arg(ct.id));
        ct.text = c.value(QLatin1String("text")).toString();
        ct.align = ReadAlign(c.value(QLatin1String("align")).toString());
        ct.flags = ReadStrings(c.value(QLatin1String("flags")));
        const QJsonObject l = c.value(QLatin1String("layout")).toObject();
        ct.layout = {
            l.value(QLatin1String("moveX")).toInt(), l.value(QLatin1String("moveY")).toInt(),
            l.value(QLatin1String("sizeX")).toInt(), l.value(QLatin1String("sizeY")).toInt()};
        if (ct.id != -1 && t.Control(ct.id))
            return fail(QStringLiteral("control %1 appears twice").arg(ct.id));
        t.controls.push_back(ct);
    }
    return t;
}

DialogTemplate LoadDialogTemplate(const QString& name) {
    QFile file(QStringLiteral(":/templates/%1.json").arg(name));
    if (!file.open(QIODevice::ReadOnly)) qFatal("dialog template %s is missing", qPrintable(name));
    QString error;
    std::optional<DialogTemplate> t = ParseDialogTemplate(file.readAll(), &error);
    if (!t) qFatal("dialog template %s: %s", qPrintable(name), qPrintable(error));
    return *t;
}

}  // namespace corvane
