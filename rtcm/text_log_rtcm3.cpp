// The decoded-text layouts of the RTCM 3 messages. Every layout starts with
// an empty line; runs of 1019 (or 1020) rows share one header. The comments
// give each row's layout in printf's notation.
#include "platform/clock.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "rtcm/text_buffer.h"
#include "rtcm/text_log.h"

namespace corvane {
namespace {

const char* CodeText(int code) {
    static const char* const kTexts[4] = {"C/A    ", "P(Yd)  ", "P(Yc)  ", "P/Y    "};
    return code >= 0 && code < 4 ? kTexts[code] : "       ";
}

void Header(TextBuffer& t, const char* kind, const char* ts, const char* columns) {
    t.Text("\n").Text(kind).Text(" ").Text(ts).Text("\n").Text(columns);
}

void Write1004(TextBuffer& t, const Rec1004& r, const char* ts) {
    Header(t, "MT1004", ts,
           "  SV  L1-Code  L1-PR       L1-Phase       L1-AMB        L1-CNR  L2-Code  L2-L1-Diff  "
           "L2-Phase      L2-CNR\n");
    for (int i = 0; i < r.satCount && i < 32; ++i) {
        const Rec1004Sat& s = r.sats[i];
        // "%4d  %s%12.3f%14.5f %14.3f%7.2f   %s%7.3f     %14.5f%7.2f\n"
        t.Int(s.sat, 4).Text("  ").Text(CodeText(s.l1Code));
        t.Fixed(s.l1Pseudorange, 12, 3).Fixed(s.l1Phase, 14, 5).Text(" ");
        t.Fixed(s.l1Ambiguity, 14, 3).Fixed(s.l1Cnr, 7, 2).Text("   ").Text(CodeText(s.l2Code));
        t.Fixed(s.l2Diff, 7, 3).Text("     ").Fixed(s.l2Phase, 14, 5).Fixed(s.l2Cnr, 7, 2);
        t.Text("\n");
    }
}

void Write1012(TextBuffer& t, const Rec1012& r, const char* ts) {
    Header(t, "MT1012", ts,
           "  SV  L1-Code  L1-Freq    L1-Pseudo   L1-Phase      L1-AMB        L1-CNR  L2-Code  "
           "L2-Freq    L2-Phase      L2-CNR\n");
    for (int i = 0; i < r.satCount && i < 24; ++i) {
        const Rec1012Sat& s = r.sats[i];
        // "%4d  %s%11.4f%12.3f%14.5f%14.3f%7.2f   %s%11.4f%14.5f%7.2f\n", the
        // carrier frequencies in MHz from the channel field (channel + 7).
        t.Int(s.sat + 40, 4).Text("  ").Text(CodeText(s.l1Code));
        t.Fixed(s.fcn * 0.5625 + 1598.0625, 11, 4).Fixed(s.l1Pseudorange, 12, 3);
        t.Fixed(s.l1Phase, 14, 5).Fixed(s.l1Ambiguity, 14, 3).Fixed(s.l1Cnr, 7, 2);
        t.Text("   ").Text(CodeText(s.l2Code)).Fixed(s.fcn * 0.4375 + 1242.9375, 11, 4);
        t.Fixed(s.l2Phase, 14, 5).Fixed(s.l2Cnr, 7, 2).Text("\n");
    }
}

void Write1006(TextBuffer& t, const Rec1006& r, const char* ts) {
    // "  X%15.4f\n" and the same for Y, Z and H.
    Header(t, "MT1006", ts, "  X");
    t.Fixed(r.x, 15, 4).Text("\n  Y").Fixed(r.y, 15, 4).Text("\n  Z").Fixed(r.z, 15, 4);
    t.Text("\n  H").Fixed(r.antennaHeight, 15, 4).Text("\n");
}

void Write1013(TextBuffer& t, const Rtcm3Records& r, const char* ts) {
    Header(t, "MT1013", ts, "  Modifyed Julian Day Number ");
    t.Int(r.rec1013.mjd).Text("\n  Seconds of Day             ").Int(r.rec1013.secondsOfDay);
    t.Text("\n  Leap Seconds\t\t\t\t ").Int(r.rec1013.leapSeconds).Text("\n");
    if (r.gpsWeek != 0) {
        const std::int64_t t0 =
            static_cast<std::int64_t>(r.gpsWeek) * 604800 + r.gpsSecond + 315964800;
        char when[32];
        platform::FormatTimeInto(when, sizeof when, "%Y-%m-%d %H:%M:%S", platform::UtcTime(t0));
        t.Text("  Current Date/Time\t\t\t ").Text(when).Text("\n");
    }
}

// One row of "%20.13e" values, each after a blank.
void ScientificRow(TextBuffer& t, std::initializer_list<double> values) {
    for (const double v : values) t.Text(" ").Scientific(v, 20, 13);
}

void Write1019(TextBuffer& t, const Rtcm3Records& r, const char* ts, bool header) {
    if (header) {
        Header(
            t, "MT1019", ts,
            "  SV  Toc                  Af0                  Af1                  Af2          "
            "        Toe                  sqrtA                deltaN               m0\n      "
            "Eccentr              Omega                Cus                  Cuc                  "
            "Crc                  Crs                  Cic                  Cis\n      i0       "
            "            IDOT                 Aop                  OmegaDot             Tgd    "
            "              IODC                 IODE \n");
    }
    const int prn = r.lastGpsPrn;
    if (prn < 1 || prn > 32) return;
    const Rec1019& e = r.rec1019[prn - 1];
    if (e.week == 0) return;
    // "%4d  %6d              %20.13e %20.13e %20.13e  %6d              %20.13e %20.13e %20.13e\n"
    // "     %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e\n"
    // "     %20.13e %20.13e %20.13e %20.13e %20.13e  %2d                   %2d\n"
    t.Int(prn, 4).Text("  ").Int(e.toc, 6).Text("             ");
    ScientificRow(t, {e.af0, e.af1, e.af2});
    t.Text("  ").Int(e.toe, 6).Text("             ");
    ScientificRow(t, {e.sqrtA, e.deltaN, e.m0});
    t.Text("\n    ");
    ScientificRow(t, {e.e, e.omega0, e.cus, e.cuc, e.crc, e.crs, e.cic, e.cis});
    t.Text("\n    ");
    ScientificRow(t, {e.i0, e.idot, e.omega, e.omegaDot, e.tgd});
    t.Text("  ").Int(e.iodc, 2).Text("                   ").Int(e.iode, 2).Text("\n");
}

void Write1020(TextBuffer& t, const Rtcm3Records& r, const char* ts, bool header) {
    if (header) {
        Header(t, "MT1020", ts,
               "  SV  XnFD                 Xn                   XnSD                 YnFD         "
               "        Yn                   YnSD                 ZnFD                 Zn\n      "
               "ZnSD                 GamNTb               TauTb                DeltaTauTb          "
               " TauC                 En                   FreqCh               Tb\n");
    }
    const int slot = r.lastGloSlot;
    if (slot < 1 || slot > 24) return;
    const Rec1020& g = r.rec1020[slot - 1];
    if (g.xDot == 0.0) return;
    // "%4d %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e\n"
    // "     %20.13e %20.13e %20.13e %20.13e %20.13e  %2d                  %3d"
    // "                   %d\n"
    t.Int(slot + 40, 4);
    ScientificRow(t, {g.xDot, g.x, g.xDDot, g.yDot, g.y, g.yDDot, g.zDot, g.z});
    t.Text("\n    ");
    ScientificRow(t, {g.zDDot, g.gamma, g.tau, g.deltaTau, g.tauC});
    t.Text("  ").Int(g.age, 2).Text("                  ").Int(g.fcn, 3);
    t.Text("                   ").Int(g.tbMinutes).Text("\n");
}

void Write1033(TextBuffer& t, const Rec1033& r, const char* ts) {
    Header(t, "MT1033", ts, "  Antenna Descriptor        ");
    t.Text(r.antennaDescriptor).Text("\n  Antenna Serial Number     ").Text(r.antennaSerial);
    t.Text("\n  Receiver Type Descriptor  ").Text(r.receiverType);
    t.Text("\n  Receiver Firmware Version ").Text(r.receiverFirmware);
    t.Text("\n  Receiver Serial Number    ").Text(r.receiverSerial).Text("\n");
}

void MsmHeader(TextBuffer& t, int number, const char* ts, const char* columns) {
    // "\nMT%04d %s\n"
    t.Text("\nMT").ZeroPadded(number, 4).Text(" ").Text(ts).Text("\n").Text(columns);
}

void WriteMsm4(TextBuffer& t, const RecMsm4& r, int index, const char* ts) {
    MsmHeader(t, 1074 + 10 * (index - 1), ts,
              "  SV  RoughRange  RoughModulo  SIG  PseudoRange      PhaseRange       Lock  Amb  "
              "CNR\n");
    for (int i = 0; i < r.cellCount && i < 64; ++i) {
        const Msm4Cell& c = r.cells[i];
        if (i == 0 || c.sat != r.cells[i - 1].sat) {
            // "%4d %4d         %11.9f  "
            t.Int(c.sat, 4).Text(" ").Int(c.roughMs, 4).Text("         ");
            t.Fixed(c.roughModulo, 11, 9).Text("  ");
        } else {
            t.Blanks(31);
        }
        // "%.3s %16.9e %16.9e  %2d    %d    %2d\n"
        t.TextUpTo(c.signal, 3).Text(" ").Scientific(c.finePseudorange, 16, 9).Text(" ");
        t.Scientific(c.finePhase, 16, 9).Text("  ").Int(c.lockTime, 2).Text("    ");
        t.Int(c.halfCycle).Text("    ").Int(c.cnr, 2).Text("\n");
    }
}

void WriteMsm7(TextBuffer& t, const RecMsm7& r, int index, const char* ts) {
    MsmHeader(t, 1077 + 10 * (index - 1), ts,
              "  SV  RoughRange  RoughModulo  RoughRate  SIG  PseudoRange      PhaseRange       "
              "Lock  CNR      PhaseRate\n");
    for (int i = 0; i < r.cellCount && i < 64; ++i) {
        const Msm7Cell& c = r.cells[i];
        if (i == 0 || c.sat != r.cells[i - 1].sat) {
            // "%4d %4d         %11.9f %5d       "
            t.Int(c.sat, 4).Text(" ").Int(c.roughMs, 4).Text("         ");
            t.Fixed(c.roughModulo, 11, 9).Text(" ").Int(c.roughRate, 5).Text("       ");
        } else {
            t.Blanks(42);
        }
        // "%.3s %16.9e %16.9e  %2d   %7.4f  %7.4f\n"
        t.TextUpTo(c.signal, 3).Text(" ").Scientific(c.finePseudorange, 16, 9).Text(" ");
        t.Scientific(c.finePhase, 16, 9).Text("  ").Int(c.lockTime, 2).Text("   ");
        t.Fixed(c.cnr, 7, 4).Text("  ").Fixed(c.finePhaseRate, 7, 4).Text("\n");
    }
}

}  // namespace

void WriteRtcm3Text(platform::OutputFile& file, const RTCM3Dec& decoder, std::uint32_t code,
                    const char* ts, std::uint32_t lastTextCode) {
    const Rtcm3Records& r = decoder.Records();
    const std::uint32_t kind = KindOf(code);
    const int index = static_cast<int>(IndexOf(code));
    TextBuffer t(file);
    switch (kind) {
        case kKind1004:
            Write1004(t, r.rec1004, ts);
            break;
        case kKind1006:
            Write1006(t, r.rec1006, ts);
            break;
        case kKind1012:
            Write1012(t, r.rec1012, ts);
            break;
        case kKind1013:
            Write1013(t, r, ts);
            break;
        case kKind1019:
            Write1019(t, r, ts, KindOf(lastTextCode) != kKind1019);
            break;
        case kKind1020:
            Write1020(t, r, ts, KindOf(lastTextCode) != kKind1020);
            break;
        case kKind1033:
            Write1033(t, r.rec1033, ts);
            break;
        case kKindMsm4:
            if (const RecMsm4* msm = r.Msm4(index - 1)) WriteMsm4(t, *msm, index, ts);
            break;
        case kKindMsm7:
            if (const RecMsm7* msm = r.Msm7(index - 1)) WriteMsm7(t, *msm, index, ts);
            break;
        default:
            break;
    }
}

}  // namespace corvane
