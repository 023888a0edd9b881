#include "app/channel_outputs.h"

#if __has_include("rtcm/rtcm3_dec.h")
#include "rtcm/rtcm3_dec.h"
#define CORVANE_HAVE_RTCM3 1
#endif
#if __has_include("rtcm/rtcm2_dec.h")
#include "rtcm/rtcm2_dec.h"
#define CORVANE_HAVE_RTCM2 1
#endif
#if __has_include("rinex/rtcm3_rinex.h")
#include "rinex/rtcm3_rinex.h"
#define CORVANE_HAVE_RINEX 1
#endif

namespace corvane {

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateDecoder(int rtcmVersion,
                                                                     NtripChannel& owner) const {
    (void)owner;
#ifdef CORVANE_HAVE_RTCM2
    if (rtcmVersion == 2) return std::make_unique<RTCM2Dec>(&owner);
#endif
#ifdef CORVANE_HAVE_RTCM3
    if (rtcmVersion == 3) return std::make_unique<RTCM3Dec>(&owner);
#endif
    (void)rtcmVersion;
    return nullptr;
}

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateRinex(NtripChannel& owner) const {
    (void)owner;
#ifdef CORVANE_HAVE_RINEX
    return std::make_unique<RTCM3Rinex>(&owner, rinexStart_);
#endif
    return nullptr;
}

}  // namespace corvane
