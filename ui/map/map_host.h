// The object the map page reaches as window.external: the page's two calls
// into the application, passed on as signals.
#pragma once

#include <QObject>
#include <QString>

namespace corvane {

class MapHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    // The map was moved: zoom level index, centre northing and easting (m).
    void UpdateMap(int zoom, int lat, int lon) { emit MapMoved(zoom, lat, lon); }
    // The user ticked or unticked a mountpoint; typ is its new marker type.
    void UpdateMark(const QString& name, int typ) { emit MarkToggled(name, typ); }

signals:
    void MapMoved(int zoom, int lat, int lon);
    void MarkToggled(const QString& name, int typ);
};

}  // namespace corvane
