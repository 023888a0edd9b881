#include "app/channel_outputs.h"

#include "rinex/rtcm3_rinex.h"
#include "rtcm/rtcm2_dec.h"
#include "rtcm/rtcm3_dec.h"

namespace corvane {

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateDecoder(int rtcmVersion,
                                                                     NtripChannel& owner) const {
    if (rtcmVersion == 2) return std::make_unique<RTCM2Dec>(&owner);
    if (rtcmVersion == 3) return std::make_unique<RTCM3Dec>(&owner);
    return nullptr;
}

std::unique_ptr<StreamDecoder> StandardChannelOutputs::CreateRinex(NtripChannel& owner) const {
    return std::make_unique<RTCM3Rinex>(&owner, rinexStart_, rinexVersion_);
}

}  // namespace corvane
