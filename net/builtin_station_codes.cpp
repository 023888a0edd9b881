#include "net/builtin_station_codes.h"

namespace corvane {

StationCodeSet BuiltinStationCodes() {
    return {"ANHN", "CCHJ", "CCHN", "DAEZ", "DANG", "DOKD", "DONM", "EOCH", "GAGE",
            "GASA", "GEOM", "HGDO", "HOMI", "HONG", "JEOJ", "JUKB", "JUMN", "MARA",
            "MLDO", "MOOJ", "PALM", "PYCH", "SEJU", "SEOI", "SOCH", "SOKC", "SORI",
            "ULLE", "YENG", "YNDO", "MOJO", "YNJU", "SAMC", "MUNG"};
}

bool HasBuiltinStationCode(const StationCodeSet& codes, std::string_view name) {
    return codes.find(name.substr(0, 4)) != codes.end();
}

}  // namespace corvane
