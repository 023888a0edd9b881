#include "rinex/msm_frame.h"

#include <bit>
#include <cmath>
#include <limits>

#include "rtcm/bit_reader.h"

namespace corvane {
namespace {

constexpr double kRangeMs = 299792.458;  // metres per light-millisecond
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr double Pow2(int n) {
    double v = 1.0;
    for (int i = 0; i < (n < 0 ? -n : n); ++i) v = n < 0 ? v / 2 : v * 2;
    return v;
}

// The per-kind field widths: satellite data, then cell data (0: absent).
struct Layout {
    int roughMs, extended, roughModulo, roughRate;
    int pseudorange, phase, lock, half, cnr, rate;
    double pseudorangeScale, phaseScale, cnrScale;
};

constexpr Layout kLayouts[8] = {
    {},
    {0, 0, 10, 0, 15, 0, 0, 0, 0, 0, Pow2(-24), 0, 0},                    // MSM1
    {0, 0, 10, 0, 0, 22, 4, 1, 0, 0, 0, Pow2(-29), 0},                    // MSM2
    {0, 0, 10, 0, 15, 22, 4, 1, 0, 0, Pow2(-24), Pow2(-29), 0},           // MSM3
    {8, 0, 10, 0, 15, 22, 4, 1, 6, 0, Pow2(-24), Pow2(-29), 1.0},         // MSM4
    {8, 4, 10, 14, 15, 22, 4, 1, 6, 15, Pow2(-24), Pow2(-29), 1.0},       // MSM5
    {8, 0, 10, 0, 20, 24, 10, 1, 10, 0, Pow2(-29), Pow2(-31), 0.0625},    // MSM6
    {8, 4, 10, 14, 20, 24, 10, 1, 10, 15, Pow2(-29), Pow2(-31), 0.0625},  // MSM7
};

// The value a signed field of `width` bits sends for "not valid".
constexpr std::int64_t Invalid(int width) { return -(std::int64_t{1} << (width - 1)); }

}  // namespace

bool DecodeMsmFrame(const std::uint8_t* m, std::size_t n, MsmFrame* f) {
    if (n * 8 < 169) return false;
    f->number = static_cast<int>(getBitsU(m, n, 0, 12));
    if (!IsMsmNumber(f->number)) return false;
    f->system = (f->number % 1000) / 10 - 7;
    f->kind = f->number % 10;
    const Layout& L = kLayouts[f->kind];
    f->station = static_cast<int>(getBitsU(m, n, 12, 12));
    f->epochTime = static_cast<std::uint32_t>(getBitsU(m, n, 24, 30));
    f->multipleMessage = getBitsU(m, n, 54, 1) != 0;
    const std::uint64_t satMask = getBitsU(m, n, 73, 64);
    const auto sigMask = static_cast<std::uint32_t>(getBitsU(m, n, 137, 32));
    const int nSat = std::popcount(satMask);
    const int nSig = std::popcount(sigMask);
    if (nSat * nSig > 64) return false;
    const std::uint64_t cellMask = nSat * nSig == 0 ? 0 : getBitsU(m, n, 169, nSat * nSig);
    const int nCell = std::popcount(cellMask);
    const std::size_t satBits = static_cast<std::size_t>(L.roughMs + L.extended + L.roughModulo +
                                                         L.roughRate);
    const std::size_t cellBits =
        static_cast<std::size_t>(L.pseudorange + L.phase + L.lock + L.half + L.cnr + L.rate);
    std::size_t at = 169 + static_cast<std::size_t>(nSat * nSig);
    if (n * 8 < at + satBits * static_cast<std::size_t>(nSat) +
                    cellBits * static_cast<std::size_t>(nCell))
        return false;

    // Satellite data: one run per field, in satellite-mask order.
    f->satelliteCount = nSat;
    std::uint64_t sats = satMask;
    for (int j = 0; j < nSat; ++j) {
        const int k = std::countl_zero(sats);
        sats ^= (std::uint64_t{1} << 63) >> k;
        f->satellites[j] = MsmSatellite{k + 1, 0, 0, -1};
    }
    const auto sn = static_cast<std::size_t>(nSat);
    if (L.roughMs) {
        for (std::size_t j = 0; j < sn; ++j) {
            const auto ms = getBitsU(m, n, at + 8 * j, 8);
            if (ms != 255) f->satellites[j].roughRange = static_cast<double>(ms) * kRangeMs;
        }
        at += 8 * sn;
    }
    if (L.extended) {
        for (std::size_t j = 0; j < sn; ++j)
            f->satellites[j].extended = static_cast<int>(getBitsU(m, n, at + 4 * j, 4));
        at += 4 * sn;
    }
    for (std::size_t j = 0; j < sn; ++j) {
        const double modulo = static_cast<double>(getBitsU(m, n, at + 10 * j, 10)) * Pow2(-10);
        MsmSatellite& s = f->satellites[j];
        // MSM1 to MSM3 carry the modulo only; above, a whole part of 0 ms
        // (or the invalid 255) leaves the satellite without a range.
        if (!L.roughMs) {
            s.roughRange = modulo * kRangeMs;
        } else if (s.roughRange != 0) {
            s.roughRange += modulo * kRangeMs;
        }
    }
    at += 10 * sn;
    if (L.roughRate) {
        for (std::size_t j = 0; j < sn; ++j) {
            const auto rate = getBitsS(m, n, at + 14 * j, 14);
            if (rate != Invalid(14)) f->satellites[j].roughRate = static_cast<double>(rate);
        }
        at += 14 * sn;
    }

    // Cells, satellite-major, then one run per signal field.
    f->cellCount = 0;
    int c = nSat * nSig;  // cell-mask bits left; the next is bit c - 1
    sats = satMask;
    for (int j = 0; j < nSat; ++j) {
        for (std::uint32_t sigs = sigMask; sigs != 0;) {
            const int s = std::countl_zero(sigs);
            sigs ^= (std::uint32_t{1} << 31) >> s;
            if (((cellMask >> --c) & 1) == 0) continue;
            MsmCell& cell = f->cells[f->cellCount++];
            cell = MsmCell{j, s + 1, kNaN, kNaN, kNaN, 0, 0, false, L.lock != 0};
        }
    }
    const auto cn = static_cast<std::size_t>(nCell);
    const auto run = [&](int width, auto&& store) {
        if (!width) return;
        for (std::size_t i = 0; i < cn; ++i)
            store(f->cells[i], at + static_cast<std::size_t>(width) * i);
        at += static_cast<std::size_t>(width) * cn;
    };
    run(L.pseudorange, [&](MsmCell& cell, std::size_t p) {
        const auto v = getBitsS(m, n, p, L.pseudorange);
        const double rough = f->satellites[cell.satellite].roughRange;
        if (v != Invalid(L.pseudorange) && rough != 0)
            cell.pseudorange = rough + static_cast<double>(v) * L.pseudorangeScale * kRangeMs;
    });
    run(L.phase, [&](MsmCell& cell, std::size_t p) {
        const auto v = getBitsS(m, n, p, L.phase);
        const double rough = f->satellites[cell.satellite].roughRange;
        if (v != Invalid(L.phase) && rough != 0)
            cell.phaseRange = rough + static_cast<double>(v) * L.phaseScale * kRangeMs;
    });
    run(L.lock, [&](MsmCell& cell, std::size_t p) {
        cell.lockTime = static_cast<int>(getBitsU(m, n, p, L.lock));
    });
    run(L.half, [&](MsmCell& cell, std::size_t p) { cell.halfCycle = getBitsU(m, n, p, 1) != 0; });
    run(L.cnr, [&](MsmCell& cell, std::size_t p) {
        cell.cnr = static_cast<double>(getBitsU(m, n, p, L.cnr)) * L.cnrScale;
    });
    run(L.rate, [&](MsmCell& cell, std::size_t p) {
        const auto v = getBitsS(m, n, p, 15);
        if (v != Invalid(15))
            cell.rangeRate = f->satellites[cell.satellite].roughRate + static_cast<double>(v) * 0.0001;
    });
    return true;
}

double MsmSignalFrequency(int system, int signal, int k) {
    constexpr double kL1 = 1575.42e6, kL2 = 1227.60e6, kL5 = 1176.45e6, kE6 = 1278.75e6;
    constexpr double kE5b = 1207.14e6, kE5ab = 1191.795e6;
    switch (system) {
        case kMsmGps:
        case kMsmQzss:
        case kMsmSbas:
            if (signal >= 2 && signal <= 4) return kL1;
            if (signal >= 30) return kL1;
            if (signal >= 8 && signal <= 17)
                return system == kMsmQzss && signal <= 11 ? kE6 : kL2;  // QZSS 9-11: L6
            if (signal >= 22 && signal <= 24) return kL5;
            return 0;
        case kMsmGlonass:
            if (k < -7 || k > 13) return 0;
            if (signal == 2 || signal == 3) return 1602.0e6 + 0.5625e6 * k;
            if (signal == 8 || signal == 9) return 1246.0e6 + 0.4375e6 * k;
            return 0;
        case kMsmGalileo:
            if (signal >= 2 && signal <= 6) return kL1;
            if (signal >= 8 && signal <= 12) return kE6;
            if (signal >= 14 && signal <= 16) return kE5b;
            if (signal >= 18 && signal <= 20) return kE5ab;
            if (signal >= 22 && signal <= 24) return kL5;
            return 0;
        case kMsmBeidou:
            if (signal >= 2 && signal <= 4) return 1561.098e6;
            if (signal >= 8 && signal <= 10) return 1268.52e6;
            if (signal >= 14 && signal <= 16) return kE5b;
            return 0;
        default:
            return 0;
    }
}

}  // namespace corvane
