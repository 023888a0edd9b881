#include "net/ntrip_channel.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "net/bit_rate.h"
#include "net/chunk_decoder.h"
#include "net/connection_helpers.h"
#include "net/guarded_socket.h"
#include "net/relay_server.h"
#include "net/reply_classifier.h"
#include "net/request_target.h"
#include "net/run_flag.h"
#include "net/serial_tables.h"
#include "platform/clock.h"
#include "platform/window_messages.h"

namespace corvane {

using namespace platform;

namespace {

constexpr int kBlockBytes = 2048;         // largest block received at once
constexpr int kSerialOutputQueue = 4096;  // serial output queue, where the system has one
constexpr int kSerialStallMs = 1000;      // a port that takes no byte this long has failed

constexpr std::intptr_t kEventStatus = 1;
constexpr std::intptr_t kEventBitRate = 2;
constexpr std::intptr_t kEventClients = 4;
constexpr std::intptr_t kEventDataEnded = 6;

constexpr char kRequestFormat[] =
    "GET /%s HTTP/1.1\r\nUser-Agent: NTRIP Caster/1.0%s\r\nAuthorization: Basic %s\r\n\r\n";

std::int16_t ReceiveFailureStatus() {
    return LastSocketError() == SocketError::TimedOut ? kStatusTimedOut : kStatusReceiveFailed;
}

// A fixed text field as a string, never reading past the field.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

}  // namespace

struct NtripChannel::Impl {
    explicit Impl(NtripChannel& channel) : ch(channel), relay(channel) {}

    void ReceiveThread();
    // One attempt on a connected socket: request, reply, stream. Returns the
    // status the attempt ends with.
    std::int16_t Converse(SocketHandle s);
    // Receives the stream until it ends; `first` holds the stream bytes that
    // came with the reply header.
    std::int16_t DataLoop(SocketHandle s, const std::uint8_t* first, int firstLength);
    // Waits one pause step; false when the channel is to end.
    bool PauseStep();
    void OpenSerial();

    NtripChannel& ch;
    std::atomic<bool> stopping{false};
    std::thread receiveThread;
    std::thread relayThread;
    GuardedSocket dataSocket;
    RelayServer relay;
    // Opened by Start, written to and on a failed write closed by the
    // receive thread, closed by Stop after the receive thread has ended.
    std::atomic<SerialHandle> serialPort{kInvalidSerial};
    ChunkDecoder chunks;
    CasterEntry caster;  // the slot of the entry, taken at Start
    std::mutex wakeMutex;
    std::condition_variable wake;  // ends a pause step early on Stop
    std::uint8_t buffer[4096] = {};
    std::mutex failureMutex;
    unsigned reportedFailures = 0;  // bits of ChannelOutput reported in this run
};

NtripChannel::NtripChannel(WindowReceiver* window, ChannelContext context)
    : window(window), context(std::move(context)), impl_(std::make_unique<Impl>(*this)) {}

NtripChannel::~NtripChannel() { Stop(); }

bool NtripChannel::Running() const { return runFlag.load() != 0 && !impl_->stopping.load(); }

SerialHandle NtripChannel::SerialPort() const { return impl_->serialPort.load(); }

void NtripChannel::PostEvent(std::intptr_t what) {
    if (window && entry)
        window->Post(WM_CHANNEL_EVENT, reinterpret_cast<std::uintptr_t>(entry), what);
}

void NtripChannel::ReportOutputFailure(ChannelOutput output, const std::string& what,
                                      const std::string& reason) {
    if (!entry || !context.outputFailed) return;
    {
        std::lock_guard lock(impl_->failureMutex);
        const unsigned bit = 1u << static_cast<unsigned>(output);
        if (impl_->reportedFailures & bit) return;
        impl_->reportedFailures |= bit;
    }
    context.outputFailed(*entry, output, what, reason);
}

void NtripChannel::OpenOutputs(MountpointEntry* e) {
    if (!e) return;
    entry = e;
    impl_->stopping = false;
    {
        std::lock_guard lock(impl_->failureMutex);
        impl_->reportedFailures = 0;
    }
    rawFile.nameSuffix = textFile.nameSuffix = FileNameSuffix(*e);
    rawFile.onOpenFailed = [this](const std::string& path, const std::string& reason) {
        ReportOutputFailure(ChannelOutput::Raw, path, reason);
    };
    textFile.onOpenFailed = [this](const std::string& path, const std::string& reason) {
        ReportOutputFailure(ChannelOutput::Text, path, reason);
    };
    rtcm2.reset();
    rtcm3.reset();
    rinex.reset();
    if (context.outputs) {
        const int version = static_cast<int>(e->formatVersion);
        if (version == 2) rtcm2 = context.outputs->CreateDecoder(version, *this);
        if (version == 3) rtcm3 = context.outputs->CreateDecoder(version, *this);
    }
    rawEnabled = (e->outputs & kOutputRaw) != 0;
    textEnabled = (e->outputs & kOutputText) != 0;
    if ((e->outputs & kOutputRinex) && context.outputs) rinex = context.outputs->CreateRinex(*this);
    // Every run opens its files afresh at its first block.
    rawFile.nextTime = 0;
    textFile.nextTime = 0;
    rinexNext = 0;
    rinexHeaderPending = false;
    lastTextCode = 0;
}

void NtripChannel::Start(MountpointEntry* e) {
    if (!e || impl_->receiveThread.joinable()) return;
    OpenOutputs(e);
    const int slot = e->casterIndex;
    impl_->caster =
        context.casters && slot >= 0 && slot < kCasterSlots ? context.casters[slot] : CasterEntry{};
    impl_->dataSocket.Rearm();
    impl_->relay.Rearm();
    // The port is ready before the first block can arrive, so the serial
    // output misses nothing of the stream.
    if (e->comPort != 0) impl_->OpenSerial();
    // Out of threads the channel ends at once; the other channels run on.
    try {
        impl_->receiveThread = std::thread([this] { impl_->ReceiveThread(); });
    } catch (const std::system_error& error) {
        ReportOutputFailure(ChannelOutput::Thread, "receive thread", error.what());
        e->status = kStatusReceiveFailed;
        PostEvent(kEventStatus);
        return;
    }
    if (e->tcpPort == 0) return;
    try {
        impl_->relayThread = std::thread([this] { impl_->relay.Run(); });
    } catch (const std::system_error& error) {
        ReportOutputFailure(ChannelOutput::Relay, "port " + std::to_string(e->tcpPort),
                            error.what());
    }
}

void NtripChannel::Stop() {
    {
        std::lock_guard lock(impl_->wakeMutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    impl_->relay.Shutdown();
    impl_->dataSocket.Shutdown();
    if (impl_->relayThread.joinable()) impl_->relayThread.join();
    if (impl_->receiveThread.joinable()) impl_->receiveThread.join();
    rawEnabled = false;
    textEnabled = false;
    // The converter's last epoch waits for a message that will not come.
    if (rinex) rinex->Finish();
    rtcm2.reset();
    rtcm3.reset();
    rinex.reset();
    const SerialHandle serial = impl_->serialPort.exchange(kInvalidSerial);
    if (serial != kInvalidSerial) {
        PurgeSerial(serial);
        CloseSerial(serial);
    }
    rawFile.Close();
    textFile.Close();
    for (OutputFile& f : rinexFiles) f.Close();
    // Clients that connected after the last stream ended.
    if (entry) impl_->relay.DropAll();
}

int NtripChannel::ClassifyResponse(const char* header) {
    bool isChunked = false;
    const int status = ClassifyReply(header, &isChunked);
    chunked = isChunked;
    return status;
}

void NtripChannel::ProcessBlock(const std::uint8_t* data, int length) {
    if (!entry || !Running()) return;
    if (entry->tcpPort != 0) impl_->relay.SendToAll(data, length);
    if (!Running()) return;
    SerialHandle serial = impl_->serialPort.load();
    if (serial != kInvalidSerial && !WriteSerial(serial, data, length, kSerialStallMs)) {
        // A failed port stays closed for the rest of the run.
        if (impl_->serialPort.compare_exchange_strong(serial, kInvalidSerial)) CloseSerial(serial);
    }
    if (!Running()) return;
    if (rtcm2)
        rtcm2->Input(data, length);
    else if (rtcm3)
        rtcm3->Input(data, length);
    if (!Running()) return;
    if (rinex) rinex->Input(data, length);
    if (!Running()) return;
    if (rawEnabled) WriteRaw(data, length);
}

namespace {
// The observation file takes most of the text; the navigation files a little.
constexpr std::size_t kRinexFileBuffer[3] = {64 * 1024, 16 * 1024, 16 * 1024};
}  // namespace

void NtripChannel::WriteRinex(int kind, const char* text, int length, std::int64_t time,
                              RinexHeaderSource& headers) {
    if (!entry || kind < 0 || kind > 2) return;
    // The first text of an hour, observation or navigation, opens the three
    // files; so does text dated before the open files' hour (the clock went
    // back), which must not land in files named after a later time. Text a
    // minute or less before the hour stays in the open files: time scales
    // interleaving across the hour would otherwise reopen the files at every
    // epoch, and a reopened name that was used before would be emptied.
    constexpr std::int64_t kBackTolerance = 60;
    if (time >= rinexNext || time < rinexNext - 3600 - kBackTolerance) {
        FinishRinex(headers);
        rinexNext = NextFullHour(time);
        rinexOpened = time;
        static constexpr const char* kExtensions[3] = {"o", "n", "g"};
        static constexpr const char* kVersion3Suffixes[2] = {"_MO", "_MN"};
        const bool version3 = headers.RinexVersion() == 3;
        for (int i = 0; i < 3; ++i) {
            rinexFiles[i].Close();
            if (version3 && i == 2) continue;  // one navigation file for every system
            std::string path = HourlyFileName(context.outputDir, entry->name, time,
                                              version3 ? "rnx" : kExtensions[i],
                                              FileNameSuffix(*entry));
            if (version3) path.insert(path.size() - 4, kVersion3Suffixes[i]);
            // A file that cannot be opened stays absent until the next hour.
            if (!rinexFiles[i].Open(path, FileMode::WriteText)) {
                ReportOutputFailure(ChannelOutput::Rinex, path, rinexFiles[i].OpenErrorText());
                continue;
            }
            rinexFiles[i].UseBuffer(kRinexFileBuffer[i]);
            if (i == 0) {
                rinexHeaderPending = true;
                continue;
            }
            char header[kRinexHeaderBufferSize];
            const int n = headers.WriteHeader(i, header, time);
            if (n > 0) rinexFiles[i].Write(header, static_cast<std::size_t>(n));
        }
    }
    if (kind == 0 && rinexHeaderPending) {
        rinexOpened = time;  // the first epoch's time
        FinishRinex(headers);
    }
    if (length > 0 && rinexFiles[kind].IsOpen())
        rinexFiles[kind].Write(text, static_cast<std::size_t>(length));
}

void NtripChannel::FinishRinex(RinexHeaderSource& headers) {
    if (!rinexHeaderPending || !entry) return;
    rinexHeaderPending = false;
    if (!rinexFiles[0].IsOpen()) return;
    char header[kRinexHeaderBufferSize];
    std::snprintf(header, sizeof header, "%s", entry->name);
    const int n = headers.WriteHeader(0, header, rinexOpened);
    if (n > 0) rinexFiles[0].Write(header, static_cast<std::size_t>(n));
}

void NtripChannel::WriteRaw(const std::uint8_t* data, int length) {
    if (!entry || length <= 0) return;
    rawFile.Advance(Now(), context.outputDir, entry->name, "rtcm", FileMode::WriteBinary);
    if (rawFile.IsOpen()) rawFile.Write(data, static_cast<std::size_t>(length));
}

void NtripChannel::Impl::OpenSerial() {
    const SerialHandle h = OpenSerialPort(ch.entry->comPort, kSerialOutputQueue);
    if (h == kInvalidSerial) return;
    PurgeSerial(h);
    if (!WriteSerialLine(h, SerialLineFromSettings(ch.context.serial))) {
        CloseSerial(h);
        return;
    }
    serialPort.store(h);
}

bool NtripChannel::Impl::PauseStep() {
    if (!ch.Running()) return false;
    std::unique_lock lock(wakeMutex);
    wake.wait_for(lock, std::chrono::milliseconds(ch.context.timing.pauseStepMs),
                  [this] { return stopping.load(); });
    return true;
}

void NtripChannel::Impl::ReceiveThread() {
    MountpointEntry& entry = *ch.entry;
    const ChannelTiming& timing = ch.context.timing;
    bool ending = false;
    while (!ending && ch.Running()) {
        entry.status = kStatusIdle;
        SocketHandle s = kInvalidSocket;
        if (caster.Present())
            s = ConnectTimeout(caster.address, timing.connectWaits, timing.connectWaitMs,
                               [this] { return ch.Running(); });
        if (s != kInvalidSocket && dataSocket.Attach(s)) {
            entry.status = Converse(s);
            relay.DropAll();
            ch.PostEvent(kEventClients);
            dataSocket.Close();
        }
        ch.PostEvent(kEventStatus);
        for (int step = 0; step < timing.pauseSteps && !ending; ++step) ending = !PauseStep();
    }
    entry.status = kStatusIdle;
    ch.PostEvent(kEventStatus);
}

std::int16_t NtripChannel::Impl::Converse(SocketHandle s) {
    MountpointEntry& entry = *ch.entry;
    const ChannelTiming& timing = ch.context.timing;
    entry.status = kStatusConnected;
    if (ch.context.receiveBufferBytes > 0) SetReceiveBufferSize(s, ch.context.receiveBufferBytes);

    char* text = reinterpret_cast<char*>(buffer);
    const int requestLength = std::snprintf(
        text, sizeof buffer, kRequestFormat, RequestTarget(FieldText(entry.name)).c_str(),
        FieldText(caster.agentSuffix).c_str(), FieldText(caster.credentials).c_str());
    SendSome(s, text, requestLength);

    // The whole reply header must arrive within the reply time-out, however
    // slowly it trickles in; an HTTP header may come in several pieces and
    // the stream starts after it.
    const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timing.replyTimeoutMs);
    int n = 0;
    do {
        const std::uint64_t now = TickMs();
        if (now >= deadline) return kStatusTimedOut;
        SetReceiveTimeout(s, static_cast<int>(deadline - now));
        const int more = ReceiveSome(s, buffer + n, kBlockBytes - n);
        if (more <= 0) {
            if (n == 0) return ReceiveFailureStatus();
            if (LastSocketError() == SocketError::TimedOut) return kStatusTimedOut;
            break;
        }
        n += more;
    } while (n < kBlockBytes && ReplyHeaderIncomplete({text, static_cast<std::size_t>(n)}));
    buffer[n] = 0;
    const std::string_view received(text, static_cast<std::size_t>(n));
    const std::size_t headerLength = ReplyHeaderLength(received);
    bool isChunked = false;
    const std::int16_t status =
        static_cast<std::int16_t>(ClassifyReply(received.substr(0, headerLength), &isChunked));
    ch.chunked = isChunked;
    entry.status = status;
    if (status != kStatusStreaming) return status;
    return DataLoop(s, buffer + headerLength, n - static_cast<int>(headerLength));
}

std::int16_t NtripChannel::Impl::DataLoop(SocketHandle s, const std::uint8_t* first,
                                          int firstLength) {
    MountpointEntry& entry = *ch.entry;
    const ChannelTiming& timing = ch.context.timing;
    entry.status = kStatusStreaming;
    ch.PostEvent(kEventStatus);
    entry.bitRate = 0;
    std::uint64_t periodStart = TickMs();
    std::uint64_t periodBytes = 0;
    int failures = 0;
    SetReceiveTimeout(s, timing.dataTimeoutMs);
    chunks.Reset();
    const bool isChunked = ch.chunked != 0;

    // Hands one received block on; false when the chunk framing has failed.
    auto handle = [&](const std::uint8_t* data, int length) {
        bool framingOk = true;
        if (!isChunked)
            ch.ProcessBlock(data, length);
        else
            framingOk = chunks.Feed(
                data, length, [this](const std::uint8_t* d, int l) { ch.ProcessBlock(d, l); });
        periodBytes += static_cast<std::uint64_t>(length);
        const std::uint64_t now = TickMs();
        const std::uint64_t elapsed = now - periodStart;
        if (elapsed >= static_cast<std::uint64_t>(timing.bitRatePeriodMs)) {
            entry.bitRate = SmoothedBitRate(periodBytes, elapsed, entry.bitRate);
            periodStart += elapsed;
            periodBytes = 0;
            ch.PostEvent(kEventBitRate);
        }
        failures = 0;
        return framingOk;
    };

    if (firstLength > 0 && !handle(first, firstLength)) entry.status = kStatusUnrecognised;
    while (entry.status == kStatusStreaming && ch.Running()) {
        const int n = ReceiveSome(s, buffer, kBlockBytes);
        if (n > 0) {
            if (!handle(buffer, n)) entry.status = kStatusUnrecognised;
            continue;
        }
        const std::int16_t failure = ReceiveFailureStatus();
        if (n < 0 && ++failures < timing.dataFailures) continue;
        entry.status = failure;
    }

    entry.bitRate = 0;
    relay.DropAll();
    ch.PostEvent(kEventDataEnded);
    return ch.Running() ? entry.status.load() : std::int16_t{kStatusIdle};
}

}  // namespace corvane
