// The decoded-text layouts of the RTCM 2 messages as printf wrote them, kept as
// the reference the log must match byte for byte.
#include <string>

#include "platform/text_encoding.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/udre_bounds.h"
#include "tests/rtcm/printf_text.h"
#include "tests/rtcm/printf_text_log.h"

namespace corvane::test {
namespace {

// ε in the system's narrow encoding (0xA5 0xE5 in code page 949).
const std::string& Epsilon() {
    static const std::string epsilon = platform::WideToNarrow(u"ε");
    return epsilon;
}

const char* Udre01Text(int udre) {
    static const std::string texts[4] = {Epsilon() + "<=1", "1<" + Epsilon() + "<=4",
                                         "4<" + Epsilon() + "<=8", "8<" + Epsilon()};
    return udre >= 0 && udre < 4 ? texts[udre].c_str() : "";
}

const char* CodeText(int pCode) { return pCode ? "P  " : "C/A"; }

const char* Quality18Text(int q) {
    static const char* const texts[8] = {"<=0.00391", "<=0.00696", "<=0.01239", "<=0.02208",
                                         "<=0.03933", "<=0.07006", "<=0.12480", "> 0.12480"};
    return texts[q & 7];
}

const char* Quality19Text(int q) {
    static const char* const texts[16] = {
        "<=0.020", "<=0.030", "<=0.045", "<=0.066", "<=0.099", "<=0.148", "<=0.220", "<=0.329",
        "<=0.491", "<=0.732", "<=1.092", "<=1.629", "<=2.430", "<=3.625", "<=5.409", "> 5.409"};
    return texts[q & 15];
}

const char* MultipathText(int m) {
    static const char* const texts[16] = {"<=0.100 ", "<=0.149 ", "<=0.223 ", "<=0.332 ",
                                          "<=0.495 ", "<=0.739 ", "<=1.102 ", "<=1.644 ",
                                          "<=2.453 ", "<=3.660 ", "<=5.460 ", "<=8.145 ",
                                          "<=12.151", "<=18.127", "> 18.127", "        "};
    return texts[m & 15];
}

const char* SmoothingText(int s) {
    static const char* const texts[4] = {"0~1 ", "1~5 ", "5~15", "-   "};
    return texts[s & 3];
}

const char* SystemText(int id) {
    // ID 4 is SBAS.
    static const char* const texts[6] = {"", "GPS", "GLO", "GAL", "SBS", "QUZ"};
    return id >= 1 && id <= 5 ? texts[id] : "";
}

void WriteCorrections(platform::OutputFile& f, const Rec01& r, const char* header, const char* ts) {
    PrintText(f, header, r.zCount, ts);
    for (int i = 0; i < kRtcm2MaxSats && r.sats[i].sat != 0; ++i) {
        const Rec01Sat& s = r.sats[i];
        PrintText(f, "%4d%8.1f%9.3f%9.4f%5d%s\n", s.sat, r.zCount, s.prc, s.rrc, s.iod,
                  Udre01Text(s.udre));
    }
    PrintText(f, "\n");
}

void WriteMultiSystem(platform::OutputFile& f, const Rec41& r, const char* header, double z,
                      const char* ts) {
    PrintText(f, header, z, ts);
    const std::string& e = Epsilon();
    for (int i = 0; i < kRtcm2MaxSats && r.sats[i].sat != 0; ++i) {
        const Rec41Sat& s = r.sats[i];
        PrintText(f, "  %s%4d%4d%9.3f%6.1f", SystemText(r.systemId), s.sat, s.iod, s.prc, s.iono);
        const int h = r.health;
        const int u = s.udre;
        if (h < 0 || h > 5) {
            PrintText(f, "\n");
        } else if (u == 0) {
            PrintText(f, "%s<=%.3f\n", e.c_str(), kUdreBounds[h][0]);
        } else if (u <= 14) {
            PrintText(f, "%.3f<%s<=%.3f\n", kUdreBounds[h][u - 1], e.c_str(), kUdreBounds[h][u]);
        } else {
            // Beyond the last bound.
            PrintText(f, "%s>%.3f\n", e.c_str(), kUdreBounds[h][14]);
        }
    }
    PrintText(f, "\n");
}

}  // namespace

void PrintfRtcm2Text(platform::OutputFile& f, const RTCM2Dec& decoder, std::uint32_t code,
                     const char* ts) {
    const Rtcm2Records& r = decoder.Records();
    const double z = r.lastZCount;
    const std::uint32_t index = IndexOf(code);
    switch (KindOf(code)) {
        case kKindRtcm2Type1:
            WriteCorrections(f, r.rec01,
                             "MT01 %6.1f %s\n  SV  ZCount  PRC      RRC      IOD  UDRE\n", ts);
            break;
        case kKindRtcm2Type9:
            WriteCorrections(f, r.rec09,
                             "MT09 %6.1f %s\n  SV  ZCount  PRC      RRC      IOD  UDRE\n", ts);
            break;
        case kKindRtcm2Type3:
            PrintText(f, "MT03 %6.1f %s\n", z, ts);
            PrintText(f, "  X%14.3f\n  Y%14.3f\n  Z%14.3f\n\n", r.rec03.x, r.rec03.y, r.rec03.z);
            break;
        case kKindRtcm2Type7: {
            const Rec07& b = r.rec07;
            static const int kBitRates[8] = {25, 50, 100, 110, 150, 200, 250, 300};
            PrintText(f, "MT07 %6.1f %s\n", z, ts);
            PrintText(f,
                      "  Latitude %9.2f\n  Longitude%9.2f\n  RadioRange%5d km\n  Frequency%8.1f "
                      "kHz\n  StationID%5d\n  Bit Rate%7d bps\n  Modulation  %s\n  Sync Type   "
                      "%s\n  Coding      %s\n\n",
                      b.latitude, b.longitude, b.range, b.frequency, b.stationId,
                      kBitRates[b.bitRateCode & 7], b.modulation == 1 ? "FSK" : "MSK",
                      b.syncType == 1 ? "Sync" : "Async", b.coding == 1 ? "FEC" : "");
            break;
        }
        case kKindRtcm2Type18: {
            if (index < 1 || index > 2) break;
            const Rec18& rec = r.rec18[index - 1];
            PrintText(f,
                      "MT18 %6.1f %s\n  SV  ZCount  Freq  Code Quality    CarrierPhase       "
                      "CLOCI MMI\n",
                      z, ts);
            for (int i = 0; i < kRtcm2MaxSats && rec.sats[i].sat != 0; ++i) {
                const Rec18Sat& s = rec.sats[i];
                PrintText(f, "%4d%8.1f  L%d    %s  %s%19.8f%4d%5d\n", s.sat, rec.time,
                          static_cast<int>(index), CodeText(s.pCode), Quality18Text(s.quality),
                          s.phase, s.lossCount, s.multipleMessage);
            }
            PrintText(f, "\n");
            break;
        }
        case kKindRtcm2Type19: {
            if (index < 1 || index > 2) break;
            const Rec19& rec = r.rec19[index - 1];
            PrintText(f,
                      "MT19 %6.1f %s\n  SV  ZCount  Freq  SMooth Code Quality  MPathErr  "
                      "PseudoRange   MMI\n",
                      z, ts);
            for (int i = 0; i < kRtcm2MaxSats && rec.sats[i].sat != 0; ++i) {
                const Rec19Sat& s = rec.sats[i];
                PrintText(f, "%4d%8.1f  L%d    %s   %s  %s  %s%14.3f%3d\n", s.sat, rec.time,
                          static_cast<int>(index), SmoothingText(rec.smoothing), CodeText(s.pCode),
                          Quality19Text(s.quality), MultipathText(s.multipath), s.pseudorange,
                          s.multipleMessage);
            }
            PrintText(f, "\n");
            break;
        }
        case kKindRtcm2Type41:
        case kKindRtcm2Type42: {
            if (index < 1 || index > 5) break;
            const bool is41 = KindOf(code) == kKindRtcm2Type41;
            WriteMultiSystem(f, (is41 ? r.rec41 : r.rec42)[index - 1],
                             is41 ? "MT41 %6.1f %s\n  SID  SV  IOD PRC      IONO  UDRE\n"
                                  : "MT42 %6.1f %s\n  SID  SV  IOD PRC      IONO  UDRE\n",
                             z, ts);
            break;
        }
        default:
            break;
    }
}

}  // namespace corvane::test
