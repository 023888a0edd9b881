// Starting and stopping the channels of the ticked mountpoints. The window's
// Start/Stop command flips runFlag; every ticked mountpoint, in the
// system-wide order, has its old channel stopped and destroyed and, when
// running now, a new channel created and started. With nothing ticked the
// flag falls back to 0, so the window stays stopped.
#pragma once

#include <memory>
#include <vector>

#include "app/channel_outputs.h"
#include "app/corvane_app.h"
#include "net/channel_context.h"
#include "platform/window_receiver.h"

namespace corvane {

class NtripChannel;

class ChannelControl {
public:
    ChannelControl(CCorvaneApp& app, platform::WindowReceiver* window);
    // Stops whatever still runs.
    ~ChannelControl();
    ChannelControl(const ChannelControl&) = delete;
    ChannelControl& operator=(const ChannelControl&) = delete;

    // The Start/Stop command; returns whether channels run afterwards.
    bool StartStop();
    // Stop when running (closing the window); nothing otherwise.
    void StopIfRunning();
    bool Running() const;
    // The running channels in the order they were started.
    const std::vector<std::unique_ptr<NtripChannel>>& Channels() const { return channels_; }

    // The channels' time constants (tests run them short).
    void SetTiming(const ChannelTiming& timing) { timing_ = timing; }

private:
    CCorvaneApp& app_;
    platform::WindowReceiver* window_;
    StandardChannelOutputs outputs_;
    ChannelTiming timing_;
    std::vector<std::unique_ptr<NtripChannel>> channels_;
};

}  // namespace corvane
