#include "ui/rtcm3_table_rows.h"

#include <algorithm>

#include "platform/clock.h"

namespace corvane {
namespace {

std::u16string CodeText(int code) {
    static const char16_t* const kTexts[4] = {u"C/A", u"P(Yd)", u"P(Yc)", u"P/Y"};
    return code >= 0 && code < 4 ? kTexts[code] : u"";
}

std::u16string CodeOnL2Text(int code) {
    static const char16_t* const kTexts[4] = {u"", u"P", u"C/A", u"L2C"};
    return code >= 0 && code < 4 ? kTexts[code] : u"";
}

TableRow NameValue(const char16_t* name, std::u16string value) {
    return TableRow{u"", name, std::move(value)};
}

// The SV of a cell, empty when the row above shows the same satellite.
template <typename Cell>
std::u16string CellSat(const Cell* cells, int i) {
    return i > 0 && cells[i].sat == cells[i - 1].sat ? std::u16string()
                                                     : CellText("%d", cells[i].sat);
}

int Clamp(int count, int most) { return std::clamp(count, 0, most); }

}  // namespace

TableRows GpsObservationRows(const Rec1004& rec) {
    TableRows rows;
    for (int i = 0; i < Clamp(rec.satCount, 32); ++i) {
        const Rec1004Sat& s = rec.sats[i];
        rows.push_back({CellText("%d", s.sat), CodeText(s.l1Code), CellText("%.2f", s.l1Phase),
                        CellText("%.2f", s.l1Cnr), CodeText(s.l2Code), CellText("%.2f", s.l2Phase),
                        CellText("%.2f", s.l2Cnr)});
    }
    return rows;
}

TableRows GloObservationRows(const Rec1012& rec) {
    TableRows rows;
    for (int i = 0; i < Clamp(rec.satCount, 24); ++i) {
        const Rec1012Sat& s = rec.sats[i];
        rows.push_back({CellText("%d", s.sat + 40), CodeText(s.l1Code), CellText("%.3f", s.l1Phase),
                        CellText("%.2f", s.l1Cnr), CodeText(s.l2Code), CellText("%.3f", s.l2Phase),
                        CellText("%.2f", s.l2Cnr)});
    }
    return rows;
}

TableRows AntennaPositionRows(const Rec1006& rec) {
    if (rec.x == 0.0) return {};
    return {NameValue(u"X", CellText("%e", rec.x)), NameValue(u"Y", CellText("%e", rec.y)),
            NameValue(u"Z", CellText("%e", rec.z)),
            NameValue(u"H", CellText("%e", rec.antennaHeight))};
}

TableRows SystemParameterRows(const Rec1013& rec, std::int32_t gpsWeek, std::int32_t gpsSecond) {
    TableRows rows{NameValue(u"Modified Julian Day Number", CellText("%d", rec.mjd)),
                   NameValue(u"Seconds of Day(UTC)", CellText("%d", rec.secondsOfDay)),
                   NameValue(u"Leap Seconds, GPS-UTC", CellText("%d", rec.leapSeconds))};
    if (gpsWeek != 0) {
        const std::int64_t t = static_cast<std::int64_t>(gpsWeek) * 604800 + gpsSecond + 315964800;
        const platform::CalendarTime c = platform::UtcTime(t);
        rows.push_back(NameValue(u"Current Date/Time(UTC)",
                                 CellText("%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day,
                                          c.hour, c.minute, c.second)));
    }
    return rows;
}

TableRows DescriptorRows(const Rec1033& rec) {
    return {NameValue(u"Antenna Descriptor", NarrowCell(rec.antennaDescriptor, 32)),
            NameValue(u"Antenna Serial Number", NarrowCell(rec.antennaSerial, 32)),
            NameValue(u"Receiver Type Descriptor", NarrowCell(rec.receiverType, 32)),
            NameValue(u"Receiver Firmware Version", NarrowCell(rec.receiverFirmware, 32)),
            NameValue(u"Receiver Serial Number", NarrowCell(rec.receiverSerial, 32))};
}

TableRows GpsEphemerisRows(std::span<const Rec1019, 32> records) {
    TableRows rows;
    for (int prn = 1; prn <= 32; ++prn) {
        const Rec1019& e = records[prn - 1];
        if (e.week == 0) continue;
        rows.push_back({CellText("%d", prn), CellText("%d", e.accuracy), CodeOnL2Text(e.codeOnL2),
                        CellText("%e", e.idot), CellText("%d", e.iode), CellText("%e", e.deltaN),
                        CellText("%e", e.omega0)});
    }
    return rows;
}

TableRows GloEphemerisRows(std::span<const Rec1020, 24> records) {
    TableRows rows;
    for (int slot = 1; slot <= 24; ++slot) {
        const Rec1020& g = records[slot - 1];
        if (g.xDot == 0.0) continue;
        rows.push_back({CellText("%d", slot + 40), CellText("%d", g.fcn), CellText("%d", g.age),
                        CellText("%02d:%02d:%02d", g.tkHours, g.tkMinutes, g.tkHalfMinute * 30),
                        CellText("%d", g.tbMinutes), CellText("%e", g.gamma),
                        CellText("%e", g.tau)});
    }
    return rows;
}

TableRows Msm4Rows(const RecMsm4& rec) {
    TableRows rows;
    for (int i = 0; i < Clamp(rec.cellCount, 64); ++i) {
        const Msm4Cell& c = rec.cells[i];
        rows.push_back({CellSat(rec.cells, i), NarrowCell(c.signal, sizeof c.signal),
                        CellText("%e", c.finePseudorange), CellText("%e", c.finePhase),
                        CellText("%d", c.lockTime), CellText("%d", c.cnr)});
    }
    return rows;
}

TableRows Msm7Rows(const RecMsm7& rec) {
    TableRows rows;
    for (int i = 0; i < Clamp(rec.cellCount, 64); ++i) {
        const Msm7Cell& c = rec.cells[i];
        rows.push_back({CellSat(rec.cells, i), NarrowCell(c.signal, sizeof c.signal),
                        CellText("%e", c.finePseudorange), CellText("%e", c.finePhase),
                        CellText("%d", c.lockTime), CellText("%.4f", c.cnr),
                        CellText("%.4f", c.finePhaseRate)});
    }
    return rows;
}

}  // namespace corvane
