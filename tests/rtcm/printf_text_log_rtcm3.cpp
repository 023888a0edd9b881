// The decoded-text layouts of the RTCM 3 messages as printf wrote them, kept as
// the reference the log must match byte for byte. Every layout starts with
// an empty line; runs of 1019 (or 1020) rows share one header.
#include "platform/clock.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "tests/rtcm/printf_text.h"
#include "tests/rtcm/printf_text_log.h"

namespace corvane::test {
namespace {

const char* CodeText(int code) {
    static const char* const kTexts[4] = {"C/A    ", "P(Yd)  ", "P(Yc)  ", "P/Y    "};
    return code >= 0 && code < 4 ? kTexts[code] : "       ";
}

void Write1004(platform::OutputFile& file, const Rec1004& r, const char* ts) {
    PrintText(
        file,
        "\nMT1004 %s\n  SV  L1-Code  L1-PR       L1-Phase       L1-AMB        L1-CNR  L2-Code  "
        "L2-L1-Diff  L2-Phase      L2-CNR\n",
        ts);
    for (int i = 0; i < r.satCount && i < 32; ++i) {
        const Rec1004Sat& s = r.sats[i];
        PrintText(file, "%4d  %s%12.3f%14.5f %14.3f%7.2f   %s%7.3f     %14.5f%7.2f\n", s.sat,
                  CodeText(s.l1Code), s.l1Pseudorange, s.l1Phase, s.l1Ambiguity, s.l1Cnr,
                  CodeText(s.l2Code), s.l2Diff, s.l2Phase, s.l2Cnr);
    }
}

void Write1012(platform::OutputFile& file, const Rec1012& r, const char* ts) {
    PrintText(
        file,
        "\nMT1012 %s\n  SV  L1-Code  L1-Freq    L1-Pseudo   L1-Phase      L1-AMB        L1-CNR  "
        "L2-Code  L2-Freq    L2-Phase      L2-CNR\n",
        ts);
    for (int i = 0; i < r.satCount && i < 24; ++i) {
        const Rec1012Sat& s = r.sats[i];
        // Carrier frequencies in MHz from the channel field (channel + 7).
        PrintText(file, "%4d  %s%11.4f%12.3f%14.5f%14.3f%7.2f   %s%11.4f%14.5f%7.2f\n", s.sat + 40,
                  CodeText(s.l1Code), s.fcn * 0.5625 + 1598.0625, s.l1Pseudorange, s.l1Phase,
                  s.l1Ambiguity, s.l1Cnr, CodeText(s.l2Code), s.fcn * 0.4375 + 1242.9375, s.l2Phase,
                  s.l2Cnr);
    }
}

void Write1013(platform::OutputFile& file, const Rtcm3Records& r, const char* ts) {
    PrintText(file,
              "\nMT1013 %s\n  Modifyed Julian Day Number %d\n  Seconds of Day             %d\n"
              "  Leap Seconds\t\t\t\t %d\n",
              ts, r.rec1013.mjd, r.rec1013.secondsOfDay, r.rec1013.leapSeconds);
    if (r.gpsWeek != 0) {
        const std::int64_t t =
            static_cast<std::int64_t>(r.gpsWeek) * 604800 + r.gpsSecond + 315964800;
        char when[32];
        platform::FormatTimeInto(when, sizeof when, "%Y-%m-%d %H:%M:%S", platform::UtcTime(t));
        PrintText(file, "  Current Date/Time\t\t\t %s\n", when);
    }
}

void Write1019(platform::OutputFile& file, const Rtcm3Records& r, const char* ts, bool header) {
    if (header) {
        PrintText(
            file,
            "\nMT1019 %s\n  SV  Toc                  Af0                  Af1                  "
            "Af2                  Toe                  sqrtA                deltaN               "
            "m0\n      Eccentr              Omega                Cus                  Cuc       "
            "           Crc                  Crs                  Cic                  Cis\n    "
            "  i0                   IDOT                 Aop                  OmegaDot           "
            "  Tgd                  IODC                 IODE \n",
            ts);
    }
    const int prn = r.lastGpsPrn;
    if (prn < 1 || prn > 32) return;
    const Rec1019& e = r.rec1019[prn - 1];
    if (e.week == 0) return;
    PrintText(file,
              "%4d  %6d              %20.13e %20.13e %20.13e  %6d              %20.13e %20.13e "
              "%20.13e\n     %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e\n     "
              "%20.13e %20.13e %20.13e %20.13e %20.13e  %2d                   %2d\n",
              prn, e.toc, e.af0, e.af1, e.af2, e.toe, e.sqrtA, e.deltaN, e.m0, e.e, e.omega0, e.cus,
              e.cuc, e.crc, e.crs, e.cic, e.cis, e.i0, e.idot, e.omega, e.omegaDot, e.tgd, e.iodc,
              e.iode);
}

void Write1020(platform::OutputFile& file, const Rtcm3Records& r, const char* ts, bool header) {
    if (header) {
        PrintText(
            file,
            "\nMT1020 %s\n  SV  XnFD                 Xn                   XnSD                 "
            "YnFD                 Yn                   YnSD                 ZnFD                 "
            "Zn\n      ZnSD                 GamNTb               TauTb                DeltaTauTb "
            "          TauC                 En                   FreqCh               Tb\n",
            ts);
    }
    const int slot = r.lastGloSlot;
    if (slot < 1 || slot > 24) return;
    const Rec1020& g = r.rec1020[slot - 1];
    if (g.xDot == 0.0) return;
    PrintText(file,
              "%4d %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e %20.13e\n     %20.13e "
              "%20.13e %20.13e %20.13e %20.13e  %2d                  %3d                   %d\n",
              slot + 40, g.xDot, g.x, g.xDDot, g.yDot, g.y, g.yDDot, g.zDot, g.z, g.zDDot, g.gamma,
              g.tau, g.deltaTau, g.tauC, g.age, g.fcn, g.tbMinutes);
}

void Write1033(platform::OutputFile& file, const Rec1033& r, const char* ts) {
    PrintText(file,
              "\nMT1033 %s\n  Antenna Descriptor        %s\n  Antenna Serial Number     %s\n"
              "  Receiver Type Descriptor  %s\n  Receiver Firmware Version %s\n"
              "  Receiver Serial Number    %s\n",
              ts, r.antennaDescriptor, r.antennaSerial, r.receiverType, r.receiverFirmware,
              r.receiverSerial);
}

void WriteMsm4(platform::OutputFile& file, const RecMsm4& r, int index, const char* ts) {
    PrintText(file,
              "\nMT%04d %s\n  SV  RoughRange  RoughModulo  SIG  PseudoRange      PhaseRange       "
              "Lock  Amb  CNR\n",
              1074 + 10 * (index - 1), ts);
    for (int i = 0; i < r.cellCount && i < 64; ++i) {
        const Msm4Cell& c = r.cells[i];
        if (i == 0 || c.sat != r.cells[i - 1].sat) {
            PrintText(file, "%4d %4d         %11.9f  ", c.sat, c.roughMs, c.roughModulo);
        } else {
            PrintText(file, "%31s", "");
        }
        PrintText(file, "%.3s %16.9e %16.9e  %2d    %d    %2d\n", c.signal, c.finePseudorange,
                  c.finePhase, c.lockTime, c.halfCycle, c.cnr);
    }
}

void WriteMsm7(platform::OutputFile& file, const RecMsm7& r, int index, const char* ts) {
    PrintText(file,
              "\nMT%04d %s\n  SV  RoughRange  RoughModulo  RoughRate  SIG  PseudoRange      "
              "PhaseRange       Lock  CNR      PhaseRate\n",
              1077 + 10 * (index - 1), ts);
    for (int i = 0; i < r.cellCount && i < 64; ++i) {
        const Msm7Cell& c = r.cells[i];
        if (i == 0 || c.sat != r.cells[i - 1].sat) {
            PrintText(file, "%4d %4d         %11.9f %5d       ", c.sat, c.roughMs, c.roughModulo,
                      c.roughRate);
        } else {
            PrintText(file, "%42s", "");
        }
        PrintText(file, "%.3s %16.9e %16.9e  %2d   %7.4f  %7.4f\n", c.signal, c.finePseudorange,
                  c.finePhase, c.lockTime, c.cnr, c.finePhaseRate);
    }
}

}  // namespace

void PrintfRtcm3Text(platform::OutputFile& file, const RTCM3Dec& decoder, std::uint32_t code,
                     const char* ts, std::uint32_t lastTextCode) {
    const Rtcm3Records& r = decoder.Records();
    const std::uint32_t kind = KindOf(code);
    const int index = static_cast<int>(IndexOf(code));
    switch (kind) {
        case kKind1004:
            Write1004(file, r.rec1004, ts);
            break;
        case kKind1006:
            PrintText(file, "\nMT1006 %s\n  X%15.4f\n  Y%15.4f\n  Z%15.4f\n  H%15.4f\n", ts,
                      r.rec1006.x, r.rec1006.y, r.rec1006.z, r.rec1006.antennaHeight);
            break;
        case kKind1012:
            Write1012(file, r.rec1012, ts);
            break;
        case kKind1013:
            Write1013(file, r, ts);
            break;
        case kKind1019:
            Write1019(file, r, ts, KindOf(lastTextCode) != kKind1019);
            break;
        case kKind1020:
            Write1020(file, r, ts, KindOf(lastTextCode) != kKind1020);
            break;
        case kKind1033:
            Write1033(file, r.rec1033, ts);
            break;
        case kKindMsm4:
            if (const RecMsm4* msm = r.Msm4(index - 1)) WriteMsm4(file, *msm, index, ts);
            break;
        case kKindMsm7:
            if (const RecMsm7* msm = r.Msm7(index - 1)) WriteMsm7(file, *msm, index, ts);
            break;
        default:
            break;
    }
}

}  // namespace corvane::test
