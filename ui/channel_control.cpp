#include "ui/channel_control.h"

#include "net/ntrip_channel.h"
#include "net/run_flag.h"

namespace corvane {

ChannelControl::ChannelControl(CCorvaneApp& app, platform::WindowReceiver* window)
    : app_(app), window_(window) {}

ChannelControl::~ChannelControl() {
    StopIfRunning();
    for (const auto& left : channels_)
        if (left->entry && left->entry->channel == left.get()) left->entry->channel = nullptr;
}

bool ChannelControl::Running() const { return runFlag.load() != 0; }

void ChannelControl::StopIfRunning() {
    if (Running()) StartStop();
}

bool ChannelControl::StartStop() {
    // Cleared before the first Stop, so that every channel begins ending at once.
    runFlag = runFlag.load() ? 0 : 1;
    const bool starting = runFlag.load() != 0;
    ChannelContext context = app_.MakeChannelContext(&outputs_);
    context.timing = timing_;
    std::vector<std::unique_ptr<NtripChannel>> started;
    app_.registry.ForEachEntry([&](int, MountpointEntry& e) {
        if (!e.selected) return;
        if (e.channel) {
            e.channel->Stop();
            e.channel = nullptr;
        }
        if (starting) {
            auto channel = std::make_unique<NtripChannel>(window_, context);
            e.channel = channel.get();
            channel->Start(&e);
            started.push_back(std::move(channel));
        }
    });
    // Every channel of the earlier run has been stopped above; destroying
    // them also ends any whose record lost its tick some other way.
    for (const auto& old : channels_)
        if (old->entry && old->entry->channel == old.get()) old->entry->channel = nullptr;
    channels_.clear();
    channels_ = std::move(started);
    if (channels_.empty()) runFlag = 0;
    return Running();
}

}  // namespace corvane
