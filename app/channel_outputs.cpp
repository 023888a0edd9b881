#include "app/channel_outputs.h"

#include <type_traits>

#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"

// The RINEX converter joins the build when its library lands; until then a
// channel runs without it.
#if __has_include("rinex/rtcm3_rinex.h")
#include "rinex/rtcm3_rinex.h"
#define CORVANE_HAVE_RINEX 1
#endif

namespace corvane {
namespace {

#ifdef CORVANE_HAVE_RINEX
// The converter, with its starting clock when one is given and the
// converter takes one.
template <typename Rinex>
std::unique_ptr<StreamDecoder> MakeRinex(NtripChannel& owner, std::optional<std::int64_t> start) {
    if constexpr (std::is_constructible_v<Rinex, NtripChannel*, std::optional<std::int64_t>>) {
        return std::make_unique<Rinex>(&owner, start);
    } else {
        auto rinex = std::make_unique<Rinex>(&owner);
        if constexpr (requires(Rinex & r, std::int64_t t) { r.SetStartTime(t); }) {
            if (start) rinex->SetStartTime(*start);
        }
        return rinex;
    }
}
#endif

}  // namespace

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateDecoder(int rtcmVersion,
                                                                     NtripChannel& owner) const {
    if (rtcmVersion == 2) return std::make_unique<RTCM2Dec>(&owner);
    if (rtcmVersion == 3) return std::make_unique<RTCM3Dec>(&owner);
    return nullptr;
}

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateRinex(NtripChannel& owner) const {
#ifdef CORVANE_HAVE_RINEX
    return MakeRinex<RTCM3Rinex>(owner, rinexStart_);
#else
    (void)owner;
    return nullptr;
#endif
}

}  // namespace corvane
