// The decoded-text layouts of the RTCM 2 messages.
#include <string>

#include "platform/text_encoding.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/text_buffer.h"
#include "rtcm/text_log.h"
#include "rtcm/udre_bounds.h"

namespace corvane {
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

void WriteCorrections(TextBuffer& t, const Rec01& r, const char* kind, const char* ts) {
    // "MT01 %6.1f %s\n", per satellite "%4d%8.1f%9.3f%9.4f%5d%s\n"
    t.Text(kind).Text(" ").Fixed(r.zCount, 6, 1).Text(" ").Text(ts);
    t.Text("\n  SV  ZCount  PRC      RRC      IOD  UDRE\n");
    for (int i = 0; i < kRtcm2MaxSats && r.sats[i].sat != 0; ++i) {
        const Rec01Sat& s = r.sats[i];
        t.Int(s.sat, 4).Fixed(r.zCount, 8, 1).Fixed(s.prc, 9, 3).Fixed(s.rrc, 9, 4);
        t.Int(s.iod, 5).Text(Udre01Text(s.udre)).Text("\n");
    }
    t.Text("\n");
}

// "MT41 %6.1f %s\n" and the like.
void Header(TextBuffer& t, const char* kind, double z, const char* ts) {
    t.Text(kind).Text(" ").Fixed(z, 6, 1).Text(" ").Text(ts).Text("\n");
}

void WriteMultiSystem(TextBuffer& t, const Rec41& r, const char* kind, double z, const char* ts) {
    Header(t, kind, z, ts);
    t.Text("  SID  SV  IOD PRC      IONO  UDRE\n");
    const std::string& e = Epsilon();
    for (int i = 0; i < kRtcm2MaxSats && r.sats[i].sat != 0; ++i) {
        const Rec41Sat& s = r.sats[i];
        // "  %s%4d%4d%9.3f%6.1f" and the UDRE range
        t.Text("  ").Text(SystemText(r.systemId)).Int(s.sat, 4).Int(s.iod, 4);
        t.Fixed(s.prc, 9, 3).Fixed(s.iono, 6, 1);
        const int h = r.health;
        const int u = s.udre;
        if (h < 0 || h > 5) {
            t.Text("\n");
        } else if (u == 0) {
            // "ε<=%.3f\n"
            t.Text(e).Text("<=").Fixed(kUdreBounds[h][0], 0, 3).Text("\n");
        } else if (u <= 14) {
            // "%.3f<ε<=%.3f\n"
            t.Fixed(kUdreBounds[h][u - 1], 0, 3).Text("<").Text(e).Text("<=");
            t.Fixed(kUdreBounds[h][u], 0, 3).Text("\n");
        } else {
            // Beyond the last bound: "ε>%.3f\n".
            t.Text(e).Text(">").Fixed(kUdreBounds[h][14], 0, 3).Text("\n");
        }
    }
    t.Text("\n");
}

}  // namespace

void WriteRtcm2Text(platform::OutputFile& f, const RTCM2Dec& decoder, std::uint32_t code,
                    const char* ts) {
    const Rtcm2Records& r = decoder.Records();
    const double z = r.lastZCount;
    const std::uint32_t index = IndexOf(code);
    TextBuffer t(f);
    switch (KindOf(code)) {
        case kKindRtcm2Type1:
            WriteCorrections(t, r.rec01, "MT01", ts);
            break;
        case kKindRtcm2Type9:
            WriteCorrections(t, r.rec09, "MT09", ts);
            break;
        case kKindRtcm2Type3:
            // "  X%14.3f\n  Y%14.3f\n  Z%14.3f\n\n"
            Header(t, "MT03", z, ts);
            t.Text("  X").Fixed(r.rec03.x, 14, 3).Text("\n  Y").Fixed(r.rec03.y, 14, 3);
            t.Text("\n  Z").Fixed(r.rec03.z, 14, 3).Text("\n\n");
            break;
        case kKindRtcm2Type7: {
            const Rec07& b = r.rec07;
            static const int kBitRates[8] = {25, 50, 100, 110, 150, 200, 250, 300};
            // "  Latitude %9.2f\n  Longitude%9.2f\n  RadioRange%5d km\n  Frequency%8.1f kHz\n"
            // "  StationID%5d\n  Bit Rate%7d bps\n  Modulation  %s\n  Sync Type   %s\n"
            // "  Coding      %s\n\n"
            Header(t, "MT07", z, ts);
            t.Text("  Latitude ").Fixed(b.latitude, 9, 2).Text("\n  Longitude");
            t.Fixed(b.longitude, 9, 2).Text("\n  RadioRange").Int(b.range, 5);
            t.Text(" km\n  Frequency").Fixed(b.frequency, 8, 1).Text(" kHz\n  StationID");
            t.Int(b.stationId, 5).Text("\n  Bit Rate").Int(kBitRates[b.bitRateCode & 7], 7);
            t.Text(" bps\n  Modulation  ").Text(b.modulation == 1 ? "FSK" : "MSK");
            t.Text("\n  Sync Type   ").Text(b.syncType == 1 ? "Sync" : "Async");
            t.Text("\n  Coding      ").Text(b.coding == 1 ? "FEC" : "").Text("\n\n");
            break;
        }
        case kKindRtcm2Type18: {
            if (index < 1 || index > 2) break;
            const Rec18& rec = r.rec18[index - 1];
            Header(t, "MT18", z, ts);
            t.Text("  SV  ZCount  Freq  Code Quality    CarrierPhase       CLOCI MMI\n");
            for (int i = 0; i < kRtcm2MaxSats && rec.sats[i].sat != 0; ++i) {
                const Rec18Sat& s = rec.sats[i];
                // "%4d%8.1f  L%d    %s  %s%19.8f%4d%5d\n"
                t.Int(s.sat, 4).Fixed(rec.time, 8, 1).Text("  L").Int(index).Text("    ");
                t.Text(CodeText(s.pCode)).Text("  ").Text(Quality18Text(s.quality));
                t.Fixed(s.phase, 19, 8).Int(s.lossCount, 4).Int(s.multipleMessage, 5).Text("\n");
            }
            t.Text("\n");
            break;
        }
        case kKindRtcm2Type19: {
            if (index < 1 || index > 2) break;
            const Rec19& rec = r.rec19[index - 1];
            Header(t, "MT19", z, ts);
            t.Text("  SV  ZCount  Freq  SMooth Code Quality  MPathErr  PseudoRange   MMI\n");
            for (int i = 0; i < kRtcm2MaxSats && rec.sats[i].sat != 0; ++i) {
                const Rec19Sat& s = rec.sats[i];
                // "%4d%8.1f  L%d    %s   %s  %s  %s%14.3f%3d\n"
                t.Int(s.sat, 4).Fixed(rec.time, 8, 1).Text("  L").Int(index).Text("    ");
                t.Text(SmoothingText(rec.smoothing)).Text("   ").Text(CodeText(s.pCode));
                t.Text("  ").Text(Quality19Text(s.quality)).Text("  ");
                t.Text(MultipathText(s.multipath)).Fixed(s.pseudorange, 14, 3);
                t.Int(s.multipleMessage, 3).Text("\n");
            }
            t.Text("\n");
            break;
        }
        case kKindRtcm2Type41:
        case kKindRtcm2Type42: {
            if (index < 1 || index > 5) break;
            const bool is41 = KindOf(code) == kKindRtcm2Type41;
            WriteMultiSystem(t, (is41 ? r.rec41 : r.rec42)[index - 1], is41 ? "MT41" : "MT42", z,
                             ts);
            break;
        }
        default:
            break;
    }
}

}  // namespace corvane
