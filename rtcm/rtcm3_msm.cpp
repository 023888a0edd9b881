// Decoders of the Multiple Signal Messages of kinds 4 and 7. The record keeps
// the cells in message order: by satellite in mask order and, within a
// satellite, by signal in mask order.
#include <bit>
#include <cmath>
#include <cstring>

#include "rtcm/bit_reader.h"
#include "rtcm/message_codes.h"
#include "rtcm/rtcm3_dec.h"
#include "rtcm/scale.h"

namespace corvane {
namespace {

// The header fields the decoders use, and the layout they imply.
struct MsmLayout {
    double epochTime;  // s
    std::uint64_t satMask;
    std::uint32_t sigMask;
    std::uint64_t cellMask;  // Nsat x Nsig bits, right-aligned
    int nSat;
    int nSig;
    int nCell;
    std::size_t satData;  // position of the satellite data
};

// Reads the header; false when the cell mask would be longer than 64 bits or
// the message is too short for its masks.
bool ReadMsmHeader(const std::uint8_t* m, std::size_t n, MsmLayout* h) {
    if (n * 8 < 169) return false;
    h->epochTime = static_cast<double>(getBitsU(m, n, 24, 30)) / 1000.0;
    h->satMask = getBitsU(m, n, 73, 64);
    h->sigMask = static_cast<std::uint32_t>(getBitsU(m, n, 137, 32));
    h->nSat = std::popcount(h->satMask);
    h->nSig = std::popcount(h->sigMask);
    const int cellBits = h->nSat * h->nSig;
    if (cellBits > 64) return false;
    if (n * 8 < 169 + static_cast<std::size_t>(cellBits)) return false;
    h->cellMask = cellBits == 0 ? 0 : getBitsU(m, n, 169, cellBits);
    h->nCell = std::popcount(h->cellMask);
    h->satData = 169 + static_cast<std::size_t>(cellBits);
    return true;
}

// Calls cell(k, j, s, n) for every cell in order: satellite-mask position k,
// satellite index j, signal-mask position s, cell index n.
template <typename CellFn>
void WalkCells(const MsmLayout& h, CellFn&& cell) {
    int j = 0;
    int c = h.nSat * h.nSig;  // cell-mask bits left; the next one is bit c - 1
    int n = 0;
    // Highest bits first: mask position 0 is the most significant bit.
    for (std::uint64_t sats = h.satMask; sats != 0; ++j) {
        const int k = std::countl_zero(sats);
        sats ^= (std::uint64_t{1} << 63) >> k;
        for (std::uint32_t sigs = h.sigMask; sigs != 0;) {
            const int s = std::countl_zero(sigs);
            sigs ^= (std::uint32_t{1} << 31) >> s;
            --c;
            if ((h.cellMask >> c) & 1) cell(k, j, s, n++);
        }
    }
}

}  // namespace

std::uint32_t RTCM3Dec::DecodeMsm4(const std::uint8_t* m, std::size_t n, int number) {
    const int sys = MsmSysIndex(number);
    MsmLayout h;
    if (!ReadMsmHeader(m, n, &h)) return 0;
    const std::size_t S = h.satData;
    const std::size_t nSat = static_cast<std::size_t>(h.nSat);
    const std::size_t nCell = static_cast<std::size_t>(h.nCell);
    const std::size_t G = S + 18 * nSat;
    if (n * 8 < G + 48 * nCell) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    RecMsm4* r = records_->Msm4(sys);
    if (r == nullptr) return 0;
    r->epochTime = h.epochTime;
    r->cellCount = h.nCell;
    const int offset = kMsmSatOffset[sys];
    WalkCells(h, [&](int k, int j, int s, int c) {
        const std::size_t ju = static_cast<std::size_t>(j);
        const std::size_t cu = static_cast<std::size_t>(c);
        Msm4Cell& cell = r->cells[c];
        cell.sat = offset + k;
        std::memcpy(cell.signal, MsmSignalLabel(sys, s + 1), 4);
        cell.roughMs = static_cast<std::int32_t>(getBitsU(m, n, S + 8 * ju, 8));
        cell.roughModulo =
            static_cast<double>(getBitsU(m, n, S + 8 * nSat + 10 * ju, 10)) * Pow2(-10);
        cell.finePseudorange = static_cast<double>(getBitsS(m, n, G + 15 * cu, 15)) * Pow2(-24);
        cell.finePhase =
            static_cast<double>(getBitsS(m, n, G + 15 * nCell + 22 * cu, 22)) * Pow2(-29);
        cell.lockTime = static_cast<std::int16_t>(getBitsU(m, n, G + 37 * nCell + 4 * cu, 4));
        cell.halfCycle = static_cast<std::int16_t>(getBitsU(m, n, G + 41 * nCell + cu, 1));
        cell.cnr = static_cast<std::int32_t>(getBitsU(m, n, G + 42 * nCell + 6 * cu, 6));
    });
    return MessageCode(kKindMsm4, static_cast<std::uint32_t>(sys + 1));
}

std::uint32_t RTCM3Dec::DecodeMsm7(const std::uint8_t* m, std::size_t n, int number) {
    const int sys = MsmSysIndex(number);
    MsmLayout h;
    if (!ReadMsmHeader(m, n, &h)) return 0;
    const std::size_t S = h.satData;
    const std::size_t nSat = static_cast<std::size_t>(h.nSat);
    const std::size_t nCell = static_cast<std::size_t>(h.nCell);
    const std::size_t G = S + 36 * nSat;
    if (n * 8 < G + 80 * nCell) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    RecMsm7* r = records_->Msm7(sys);
    if (r == nullptr) return 0;
    r->epochTime = h.epochTime;
    r->cellCount = h.nCell;
    const int offset = kMsmSatOffset[sys];
    WalkCells(h, [&](int k, int j, int s, int c) {
        const std::size_t ju = static_cast<std::size_t>(j);
        const std::size_t cu = static_cast<std::size_t>(c);
        Msm7Cell& cell = r->cells[c];
        cell.sat = offset + k;
        std::memcpy(cell.signal, MsmSignalLabel(sys, s + 1), 4);
        cell.roughMs = static_cast<std::int32_t>(getBitsU(m, n, S + 8 * ju, 8));
        cell.roughModulo =
            static_cast<double>(getBitsU(m, n, S + 12 * nSat + 10 * ju, 10)) * Pow2(-10);
        cell.roughRate = static_cast<std::int32_t>(getBitsS(m, n, S + 22 * nSat + 14 * ju, 14));
        cell.finePseudorange = static_cast<double>(getBitsS(m, n, G + 20 * cu, 20)) * Pow2(-29);
        cell.finePhase =
            static_cast<double>(getBitsS(m, n, G + 20 * nCell + 24 * cu, 24)) * Pow2(-31);
        cell.lockTime = static_cast<std::int16_t>(getBitsU(m, n, G + 44 * nCell + 10 * cu, 10));
        cell.halfCycle = static_cast<std::int16_t>(getBitsU(m, n, G + 54 * nCell + cu, 1));
        cell.cnr = static_cast<double>(getBitsU(m, n, G + 55 * nCell + 10 * cu, 10)) * 0.0625;
        cell.finePhaseRate =
            static_cast<double>(getBitsS(m, n, G + 65 * nCell + 15 * cu, 15)) * 0.0001;
    });
    return MessageCode(kKindMsm7, static_cast<std::uint32_t>(sys + 1));
}

}  // namespace corvane
