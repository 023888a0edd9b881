// The running connection of one selected mountpoint: a receive thread that
// connects to the caster, requests the stream, classifies the reply and hands
// every received block to the outputs (relay clients, serial port, decoder,
// RINEX converter, raw file), and with a relay port a relay-server thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "net/channel_context.h"
#include "net/hourly_file.h"
#include "net/mountpoint_entry.h"
#include "net/rinex_header_source.h"
#include "net/stream_decoder.h"
#include "platform/file.h"
#include "platform/serial.h"
#include "platform/socket.h"
#include "platform/window_receiver.h"

namespace corvane {

class NtripChannel {
public:
    NtripChannel(platform::WindowReceiver* window, ChannelContext context);
    ~NtripChannel();
    NtripChannel(const NtripChannel&) = delete;
    NtripChannel& operator=(const NtripChannel&) = delete;

    // Starts serving `entry`: creates the decoder and converter its format
    // and outputs ask for, opens the serial port (with a COM port), starts
    // the receive thread and the relay thread (with a TCP port). The caller
    // sets runFlag first. Does nothing without an entry or when running.
    void Start(MountpointEntry* entry);
    // Ends both threads (also while runFlag is still set) and closes
    // everything; returns once both threads have ended. The caller clears
    // runFlag first. A second call has no effect.
    void Stop();

    // Prepares the outputs of `entry` (decoder, converter, file flags) without
    // starting threads or opening the serial port, for feeding recorded
    // streams through ProcessBlock.
    void OpenOutputs(MountpointEntry* entry);

    // Status of the reply header in `header` (NUL-terminated); sets `chunked`.
    int ClassifyResponse(const char* header);
    // Hands one block to every output, in order; returns at once when the
    // channel is not Running(). Receive thread only (or the thread that
    // called OpenOutputs, when no thread runs).
    void ProcessBlock(const std::uint8_t* data, int length);

    // Appends a block to the hourly raw file.
    void WriteRaw(const std::uint8_t* data, int length);

    // ---- State shared with the decoders, the converter and the window. ----
    platform::WindowReceiver* const window;
    const ChannelContext context;
    MountpointEntry* entry = nullptr;
    int chunked = 0;

    std::unique_ptr<StreamDecoder> rtcm2;  // RTCM 2 decoder, or none
    std::unique_ptr<StreamDecoder> rtcm3;  // RTCM 3 decoder, or none
    std::unique_ptr<StreamDecoder> rinex;  // RINEX converter, or none

    // Decoded-text log, written by the decoders on the receive thread.
    bool textEnabled = false;
    HourlyFile textFile;  // textFile.nextTime is the change time
    std::uint32_t lastTextCode = 0;

    // RINEX files (0 observation, 1 GPS navigation, 2 GLONASS navigation),
    // opened together by the first text of each hour of data time;
    // rinexNext is that hour's end (0 before the first).
    platform::OutputFile rinexFiles[3];
    std::int64_t rinexNext = 0;
    std::int64_t rinexOpened = 0;     // time the open files were opened for
    bool rinexHeaderPending = false;  // the open observation file has no header yet
    // Appends RINEX text to file `kind`. Text at or after rinexNext, or
    // before the open files' hour, first closes the three files and opens
    // new ones named after `time` (seconds since 1970 on the GPS scale,
    // named in local time), each starting with the header `headers`
    // formats. Receive thread only.
    // The observation header waits for the file's first epoch, which fixes
    // its observation types; a file without epochs gets it when it closes.
    void WriteRinex(int kind, const char* text, int length, std::int64_t time,
                    RinexHeaderSource& headers);
    // The stream has ended: writes the header still owed to the open
    // observation file. Receive thread only (or the thread that stops).
    void FinishRinex(RinexHeaderSource& headers);

    bool rawEnabled = false;
    HourlyFile rawFile;

    // Tells context.outputFailed, once per output and run, that `output`
    // (`what`: its file or port) could not be opened, and why.
    void ReportOutputFailure(ChannelOutput output, const std::string& what,
                             const std::string& reason);

    // Posts WM_CHANNEL_EVENT with `what` (1 status, 2 bit rate, 4 clients,
    // 6 data loop ended).
    void PostEvent(std::intptr_t what);

    // True while the channel is meant to run: runFlag is set and Stop has
    // not been called since the last Start or OpenOutputs.
    bool Running() const;
    // The open serial port, or platform::kInvalidSerial.
    platform::SerialHandle SerialPort() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace corvane
