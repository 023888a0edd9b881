// Decoders of the Multiple Signal Messages of kinds 4 and 7. The record keeps
// the cells in message order: by satellite in mask order and, within a
// satellite, by signal in mask order.
#include <bit>
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
    int nSig;
    std::size_t nSat;
    std::size_t nCell;
    std::size_t satData;  // position of the satellite data
    std::size_t sigData;  // position of the signal data
};

// Reads the header of a message with `satBits` of satellite data per
// satellite and `cellBits` of signal data per cell. False when the cell mask
// would be longer than 64 bits or the message is shorter than its data.
bool ReadMsmLayout(const std::uint8_t* m, std::size_t n, std::size_t satBits, std::size_t cellBits,
                   MsmLayout* h) {
    if (n * 8 < 169) return false;
    h->epochTime = static_cast<double>(getBitsU(m, n, 24, 30)) / 1000.0;
    h->satMask = getBitsU(m, n, 73, 64);
    h->sigMask = static_cast<std::uint32_t>(getBitsU(m, n, 137, 32));
    h->nSat = static_cast<std::size_t>(std::popcount(h->satMask));
    h->nSig = std::popcount(h->sigMask);
    const int maskBits = static_cast<int>(h->nSat) * h->nSig;
    if (maskBits > 64) return false;
    h->satData = 169 + static_cast<std::size_t>(maskBits);
    if (n * 8 < h->satData) return false;
    h->cellMask = maskBits == 0 ? 0 : getBitsU(m, n, 169, maskBits);
    h->nCell = static_cast<std::size_t>(std::popcount(h->cellMask));
    h->sigData = h->satData + satBits * h->nSat;
    return n * 8 >= h->sigData + cellBits * h->nCell;
}

// Fills the record's cells in order, by satellite in mask order and within a
// satellite by signal in mask order: sets each cell's satellite number and
// signal label and calls fill(cell, j, n) with the satellite's index j among
// the set satellite bits and the cell's index n.
template <typename Cell, typename FillFn>
void WalkCells(const MsmLayout& h, int sys, RecMsm<Cell>& r, FillFn&& fill) {
    r.epochTime = h.epochTime;
    r.cellCount = static_cast<std::int32_t>(h.nCell);
    std::size_t j = 0;
    int c = static_cast<int>(h.nSat) * h.nSig;  // mask bits left; the next is bit c - 1
    std::size_t n = 0;
    // Highest bits first: mask position 0 is the most significant bit.
    for (std::uint64_t sats = h.satMask; sats != 0; ++j) {
        const int k = std::countl_zero(sats);
        sats ^= (std::uint64_t{1} << 63) >> k;
        for (std::uint32_t sigs = h.sigMask; sigs != 0;) {
            const int s = std::countl_zero(sigs);
            sigs ^= (std::uint32_t{1} << 31) >> s;
            if (((h.cellMask >> --c) & 1) == 0) continue;
            Cell& cell = r.cells[n];
            cell.sat = kMsmSatOffset[sys] + k;
            std::memcpy(cell.signal, MsmSignalLabel(sys, s + 1), 4);
            fill(cell, j, n++);
        }
    }
}

}  // namespace

std::uint32_t RTCM3Dec::DecodeMsm4(const std::uint8_t* m, std::size_t n, int number) {
    const int sys = MsmSysIndex(number);
    MsmLayout h;
    if (!ReadMsmLayout(m, n, 18, 48, &h)) return 0;
    const std::size_t S = h.satData, G = h.sigData, nSat = h.nSat, nCell = h.nCell;
    std::lock_guard<std::mutex> lock(mutex_);
    RecMsm4* r = records_->Msm4(sys);
    if (r == nullptr) return 0;
    WalkCells(h, sys, *r, [&](Msm4Cell& cell, std::size_t j, std::size_t c) {
        cell.roughMs = static_cast<std::int32_t>(getBitsU(m, n, S + 8 * j, 8));
        cell.roughModulo =
            static_cast<double>(getBitsU(m, n, S + 8 * nSat + 10 * j, 10)) * Pow2(-10);
        cell.finePseudorange = static_cast<double>(getBitsS(m, n, G + 15 * c, 15)) * Pow2(-24);
        cell.finePhase =
            static_cast<double>(getBitsS(m, n, G + 15 * nCell + 22 * c, 22)) * Pow2(-29);
        cell.lockTime = static_cast<std::int16_t>(getBitsU(m, n, G + 37 * nCell + 4 * c, 4));
        cell.halfCycle = static_cast<std::int16_t>(getBitsU(m, n, G + 41 * nCell + c, 1));
        cell.cnr = static_cast<std::int32_t>(getBitsU(m, n, G + 42 * nCell + 6 * c, 6));
    });
    return MessageCode(kKindMsm4, static_cast<std::uint32_t>(sys + 1));
}

std::uint32_t RTCM3Dec::DecodeMsm7(const std::uint8_t* m, std::size_t n, int number) {
    const int sys = MsmSysIndex(number);
    MsmLayout h;
    if (!ReadMsmLayout(m, n, 36, 80, &h)) return 0;
    const std::size_t S = h.satData, G = h.sigData, nSat = h.nSat, nCell = h.nCell;
    std::lock_guard<std::mutex> lock(mutex_);
    RecMsm7* r = records_->Msm7(sys);
    if (r == nullptr) return 0;
    WalkCells(h, sys, *r, [&](Msm7Cell& cell, std::size_t j, std::size_t c) {
        cell.roughMs = static_cast<std::int32_t>(getBitsU(m, n, S + 8 * j, 8));
        cell.roughModulo =
            static_cast<double>(getBitsU(m, n, S + 12 * nSat + 10 * j, 10)) * Pow2(-10);
        cell.roughRate = static_cast<std::int32_t>(getBitsS(m, n, S + 22 * nSat + 14 * j, 14));
        cell.finePseudorange = static_cast<double>(getBitsS(m, n, G + 20 * c, 20)) * Pow2(-29);
        cell.finePhase =
            static_cast<double>(getBitsS(m, n, G + 20 * nCell + 24 * c, 24)) * Pow2(-31);
        cell.lockTime = static_cast<std::int16_t>(getBitsU(m, n, G + 44 * nCell + 10 * c, 10));
        cell.halfCycle = static_cast<std::int16_t>(getBitsU(m, n, G + 54 * nCell + c, 1));
        cell.cnr = static_cast<double>(getBitsU(m, n, G + 55 * nCell + 10 * c, 10)) * 0.0625;
        cell.finePhaseRate =
            static_cast<double>(getBitsS(m, n, G + 65 * nCell + 15 * c, 15)) * 0.0001;
    });
    return MessageCode(kKindMsm7, static_cast<std::uint32_t>(sys + 1));
}

}  // namespace corvane
