#include "ui/rtcm2_table_rows.h"

#include "rtcm/udre_bounds.h"

namespace corvane {
namespace {

std::u16string UdreText(int udre) {
    static const char16_t* const kTexts[4] = {u"ε<=1", u"1<ε<=4", u"4<ε<=8", u"8<ε"};
    return udre >= 0 && udre < 4 ? kTexts[udre] : u"";
}

std::u16string CodeText(int pCode) { return pCode ? u"P" : u"C/A"; }

// The satellites of a list: up to the first slot whose sat is 0.
template <typename Sat, typename Fn>
TableRows SatelliteRows(const Sat (&sats)[kRtcm2MaxSats], Fn row) {
    TableRows rows;
    for (int i = 0; i < kRtcm2MaxSats && sats[i].sat != 0; ++i) rows.push_back(row(sats[i]));
    return rows;
}

}  // namespace

std::u16string UdreRangeText(int health, int udre) {
    if (health < 0 || health >= kUdreHealthRows) return {};
    const double* bounds = kUdreBounds[health];
    if (udre <= 0) return u"ε" + CellText("<=%.3f", bounds[0]);
    if (udre <= 14)
        return CellText("%.3f", bounds[udre - 1]) + u"<ε" + CellText("<=%.3f", bounds[udre]);
    // Beyond the last bound of the row.
    return u"ε" + CellText(">%.3f", bounds[14]);
}

TableRows CorrectionRows(const Rec01& rec) {
    return SatelliteRows(rec.sats, [&](const Rec01Sat& s) {
        return TableRow{
            CellText("%d", s.sat),       CellText("%d", s.scale),    UdreText(s.udre),
            CellText("%.2f", s.prc),     FixedOrZero("%.3f", s.rrc), CellText("%d", s.iod),
            CellText("%.1f", rec.zCount)};
    });
}

TableRows StationPositionRows(const Rec03& rec) {
    if (rec.x == 0.0) return {};
    return {TableRow{u"", CellText("%e", rec.x), CellText("%e", rec.y), CellText("%e", rec.z)}};
}

TableRows CarrierPhaseRows(const Rec18& rec) {
    return SatelliteRows(rec.sats, [&](const Rec18Sat& s) {
        return TableRow{CellText("%d", s.sat),       u"0",
                        CellText("%d", s.lossCount), CodeText(s.pCode),
                        CellText("%e", s.phase),     CellText("%.1f", rec.time)};
    });
}

TableRows PseudorangeRows(const Rec19& rec) {
    return SatelliteRows(rec.sats, [&](const Rec19Sat& s) {
        return TableRow{CellText("%d", s.sat), u"0", CodeText(s.pCode),
                        CellText("%e", s.pseudorange), CellText("%.1f", rec.time)};
    });
}

TableRows MultiSystemRows(const Rec41& rec) {
    return SatelliteRows(rec.sats, [&](const Rec41Sat& s) {
        return TableRow{CellText("%d", s.sat), UdreRangeText(rec.health, s.udre),
                        CellText("%d", s.iod), CellText("%e", s.prc), FixedOrZero("%.2f", s.iono)};
    });
}

}  // namespace corvane
