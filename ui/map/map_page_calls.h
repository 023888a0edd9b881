// The functions of the map page that place and update markers.
#pragma once

#include <QString>

namespace corvane {

class MapPageCalls {
public:
    virtual ~MapPageCalls() = default;
    virtual void ClearMarks() = 0;
    virtual void AddMark(float lat, float lon, const QString& key, const QString& msg, int typ) = 0;
    virtual void UpdateMark(const QString& key, int checked) = 0;
};

}  // namespace corvane
