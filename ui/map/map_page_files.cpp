#include "ui/map/map_page_files.h"

#include <QDir>
#include <QFile>

#include "app/desk_resources.h"

namespace corvane {
namespace {

QString PageResource() { return QStringLiteral(":/map/Corvane.htm"); }

void CopyResource(const QString& resource, const QString& path) {
    QFile in(resource);
    if (!in.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = in.readAll();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    if (out.write(bytes) != bytes.size()) {
        out.close();
        out.remove();
    }
}

}  // namespace

QString MapPageFileName() { return QStringLiteral("Corvane.htm"); }
QString MarkImageFileName(int typ) { return QStringLiteral("mark%1.png").arg(typ); }

void ExtractMapPage(const QString& folder, bool extract) {
    if (folder.isEmpty()) return;
    const QDir dir(folder);
    for (int typ = 0; typ < kMarkImages; ++typ) QFile::remove(dir.filePath(MarkImageFileName(typ)));
    QFile::remove(dir.filePath(MapPageFileName()));
    if (!extract) return;
    dir.mkpath(QStringLiteral("."));
    for (int typ = 0; typ < kMarkImages; ++typ)
        CopyResource(resources::MarkerPath(typ), dir.filePath(MarkImageFileName(typ)));
    CopyResource(PageResource(), dir.filePath(MapPageFileName()));
}

}  // namespace corvane
